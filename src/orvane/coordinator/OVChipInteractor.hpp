// The chip's logic: turns the theme and main colour, the playing status and
// the playback position into the chip's model records and hands them to the
// chip, which it holds weakly (a gone chip gets nothing). Owned by the chip,
// which drives it through OVChipInteractorInput. Main thread only.
#pragma once

#include <memory>

#include "orvane/coordinator/OVChipModel.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "orvane/widget/OVState.hpp"

namespace orvane {

// What the interactor asks of the chip.
class OVChipInput {
public:
    virtual ~OVChipInput() = default;
    virtual void update(const OVChipModel::Style& viewModel) = 0;
    virtual void update(const OVChipModel::AudioStatus& viewModel) = 0;
    virtual void update(const OVChipModel::AudioPosition& viewModel) = 0;
};

// What the chip hands to its interactor.
class OVChipInteractorInput {
public:
    virtual ~OVChipInteractorInput() = default;
    virtual void update(OVTheme withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(OVAudioPlayerStatus withAudioStatus) = 0;
    virtual void update(const OVState::AudioPosition& withAudioPosition) = 0;
};

class OVChipInteractor : public OVChipInteractorInput {
public:
    explicit OVChipInteractor(std::weak_ptr<OVChipInput> view) : view_(std::move(view)) {}

    void update(OVTheme withTheme, const platform::graphics::Color& andMainColor) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;
    void update(const OVState::AudioPosition& withAudioPosition) override;

private:
    std::weak_ptr<OVChipInput> view_;
};

}  // namespace orvane
