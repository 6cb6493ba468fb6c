// The main page's row naming the current podcast; a tap on the row opens
// the podcast's page (the page handles the row's selection).
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVOpenPodcastTableViewCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVOpenPodcastTableViewCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVOpenPodcastTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);
};

}  // namespace orvane
