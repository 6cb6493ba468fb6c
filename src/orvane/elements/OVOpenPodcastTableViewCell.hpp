// The main page's last row: a header, then the artwork, name and owner of
// the podcast that is playing. The row highlights when selected; the main
// page opens the podcast's page on selection (the cell has no action of its
// own). Its separator lies along its top edge.
//
// Forwards each input to its interactor, which hands view models back. Made
// only by its nib (`nib`, registered under `ReuseIdentifier` with the other
// element nibs), once per element. Main thread only; owned by its element,
// it owns its interactor and its views.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "orvane/elements/OVOpenPodcastTableViewCellInput.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCellInteractorInput.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVOpenPodcastTableViewCell : public OVPageElementTableViewCell, public OVOpenPodcastTableViewCellInput {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVOpenPodcastTableViewCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVOpenPodcastTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);

    // ---- Called by the main page; each forwards to the interactor ----
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor);
    void update(const OVContent& withPodcast);

    // ---- OVOpenPodcastTableViewCellInput ----
    void update(const OVOpenPodcastTableViewCellModel::Style& withViewModel) override;
    void update(const OVOpenPodcastTableViewCellModel::Podcast& withViewModel) override;

    void awakeFromNib() override;

    // The views, for the tests.
    const std::shared_ptr<platform::ui::Label>& headerLabel() const { return headerLabel_; }
    const std::shared_ptr<OVImageView>& podacastImageView() const { return podacastImageView_; }
    const std::shared_ptr<platform::ui::Label>& podcastLabel() const { return podcastLabel_; }
    const std::shared_ptr<platform::ui::Label>& editorLabel() const { return editorLabel_; }

private:
    std::shared_ptr<platform::ui::Label> headerLabel_;
    std::shared_ptr<OVImageView> podacastImageView_;
    std::shared_ptr<platform::ui::Label> podcastLabel_;
    std::shared_ptr<platform::ui::Label> editorLabel_;
    std::shared_ptr<OVOpenPodcastTableViewCellInteractorInput> interactor_;
};

}  // namespace orvane
