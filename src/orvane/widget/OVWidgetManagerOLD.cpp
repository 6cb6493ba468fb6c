#include "orvane/widget/OVWidgetManagerOLD.hpp"

#include "orvane/widget/OVWidgetScripts.hpp"
#include "platform/core/NoDestructor.hpp"

namespace orvane {

std::string_view caseName(OVEventExpand event) {
    switch (event) {
        case OVEventExpand::mainPlay: return "mainPlay";
        case OVEventExpand::mainPause: return "mainPause";
        case OVEventExpand::fastforward: return "fastforward";
        case OVEventExpand::rewind: return "rewind";
        case OVEventExpand::cursorMoves: return "cursorMoves";
        case OVEventExpand::halfscreen: return "halfscreen";
        case OVEventExpand::fullscreen: return "fullscreen";
        case OVEventExpand::seeMore: return "seeMore";
        case OVEventExpand::close: return "close";
        case OVEventExpand::swipeDown: return "swipeDown";
        case OVEventExpand::ctaWebsite: return "ctaWebsite";
        case OVEventExpand::ctaPlatform: return "ctaPlatform";
        case OVEventExpand::expand5s: return "expand5s";
        case OVEventExpand::expand10s: return "expand10s";
        case OVEventExpand::tracklistPlay: return "tracklistPlay";
        case OVEventExpand::tracklistPause: return "tracklistPause";
        case OVEventExpand::recommendedContent: return "recommendedContent";
    }
    return {};
}

OVWidgetManagerOLD& OVWidgetManagerOLD::shared() {
    static platform::core::NoDestructor<OVWidgetManagerOLD> instance{std::in_place, [] { return OVWidgetManagerOLD(); }};
    return *instance;
}

void OVWidgetManagerOLD::event(OVEventExpand type, const std::optional<platform::core::Json>& value) {
    event(std::string(caseName(type)), value);
}

void OVWidgetManagerOLD::event(const std::string& type, const std::optional<platform::core::Json>& value) {
    // An absent value leaves nothing after the comma; a present one is written
    // as a script value (texts quoted and escaped).
    const std::string valueText = value ? scriptValueText(value) : std::string();
    sendJavascript(player_ + ".collectEvent(" + type + ", " + valueText + ")");
}

void OVWidgetManagerOLD::timeLeft(int seconds) {
    sendJavascript(player_ + ".changeTimeLeft(" + std::to_string(seconds) + ")");
}

void OVWidgetManagerOLD::isPlaying(bool playing) {
    sendJavascript(player_ + ".changePlayingStatus(" + (playing ? "true" : "false") + ")");
}

void OVWidgetManagerOLD::trackChanged(const std::string& trackId) {
    sendJavascript(player_ + ".changeSelectedTrack(" + trackId + ")");
}

void OVWidgetManagerOLD::setClosed() { sendJavascript(player_ + ".playerClose()"); }

void OVWidgetManagerOLD::sendJavascript(const std::string& javascript) {
    if (webView_) webView_->evaluateJavaScript(javascript);
}

}  // namespace orvane
