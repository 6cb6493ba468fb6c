// The open podcast element's logic: the theme's header, name, owner and
// separator colours (the main colour is not used), and the podcast's
// artwork (http and https addresses only; another scheme gives no image,
// with a debug line), name and owner. Owned by its cell, which it holds
// weakly; main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVOpenPodcastTableViewCellInput.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCellInteractorInput.hpp"

namespace orvane {

class OVOpenPodcastTableViewCellInteractor final : public OVOpenPodcastTableViewCellInteractorInput {
public:
    explicit OVOpenPodcastTableViewCellInteractor(std::weak_ptr<OVOpenPodcastTableViewCellInput> view)
        : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) override;
    void update(const OVContent& withPodcast) override;

private:
    std::weak_ptr<OVOpenPodcastTableViewCellInput> view_;
};

}  // namespace orvane
