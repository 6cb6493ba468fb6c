// A content with a widget text, the player state and a tracking identifier.
// Plain value, never decoded or encoded.
#pragma once

#include "orvane/model/OVContent.hpp"
#include "orvane/widget/OVPlayer.hpp"

#include <string>

namespace orvane {

struct OVContentResponse {
    OVContent content;
    std::string widget;
    OVPlayer player;
    std::string trackingId;

    OVContentResponse(OVContent content, std::string widget, OVPlayer player, std::string trackingId)
        : content(std::move(content)), widget(std::move(widget)), player(std::move(player)),
          trackingId(std::move(trackingId)) {}
};

}  // namespace orvane
