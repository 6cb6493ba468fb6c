// The content identity element's logic. For a podcast: its artwork, its
// name and its owner. For an episode: the episode's artwork (else its
// podcast's), the episode's title and its podcast's name. Only http and
// https artwork addresses are kept; another scheme gives no image (with a
// debug line). Keeps no theme. Owned by its cell, which it holds weakly;
// main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVContentIdentityCellInput.hpp"
#include "orvane/elements/OVContentIdentityCellInteractorInput.hpp"

namespace orvane {

class OVContentIdentityCellInteractor final : public OVContentIdentityCellInteractorInput {
public:
    explicit OVContentIdentityCellInteractor(std::weak_ptr<OVContentIdentityCellInput> view) : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) override;
    void update(const OVContent& withPodcast) override;
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;

private:
    std::weak_ptr<OVContentIdentityCellInput> view_;
};

}  // namespace orvane
