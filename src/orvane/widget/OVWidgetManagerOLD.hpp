// The older script bridge: reports the playing status and a few user events
// to a player element of the page through fixed script texts. Nothing assigns
// its web view, so its operations build their script and send nothing; its
// callers still rely on its interface. One instance (`shared()`); main thread.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/core/Json.hpp"
#include "platform/web/WebView.hpp"

namespace orvane {

// The legacy event kinds.
enum class OVEventExpand {
    mainPlay,
    mainPause,
    fastforward,
    rewind,
    cursorMoves,
    halfscreen,
    fullscreen,
    seeMore,
    close,
    swipeDown,
    ctaWebsite,
    ctaPlatform,
    expand5s,
    expand10s,
    tracklistPlay,
    tracklistPause,
    recommendedContent,
};

// The case's name as written in a script ("seeMore").
std::string_view caseName(OVEventExpand event);
// Does nothing.
inline void action(OVEventExpand) {}

class OVWidgetManagerOLDProtocol {
public:
    virtual ~OVWidgetManagerOLDProtocol() = default;
    virtual void event(OVEventExpand type, const std::optional<platform::core::Json>& value) = 0;
    virtual void event(const std::string& type, const std::optional<platform::core::Json>& value) = 0;
    virtual void timeLeft(int seconds) = 0;
    virtual void isPlaying(bool playing) = 0;
    virtual void trackChanged(const std::string& trackId) = 0;
    virtual void setClosed() = 0;
    virtual const std::string& player() const = 0;
};

class OVWidgetManagerOLD final : public OVWidgetManagerOLDProtocol {
public:
    static OVWidgetManagerOLD& shared();

    OVWidgetManagerOLD(const OVWidgetManagerOLD&) = delete;
    OVWidgetManagerOLD& operator=(const OVWidgetManagerOLD&) = delete;

    const std::shared_ptr<platform::web::WebView>& webView() const { return webView_; }
    void setWebView(std::shared_ptr<platform::web::WebView> webView) { webView_ = std::move(webView); }
    const std::string& player() const override { return player_; }
    void setPlayer(std::string player) { player_ = std::move(player); }

    // `player`.collectEvent(<case name>, <value or nothing>)
    void event(OVEventExpand type, const std::optional<platform::core::Json>& value) override;
    void event(const std::string& type, const std::optional<platform::core::Json>& value) override;
    // `player`.changeTimeLeft(<seconds>)
    void timeLeft(int seconds) override;
    // `player`.changePlayingStatus(true|false)
    void isPlaying(bool playing) override;
    // `player`.changeSelectedTrack(<trackId as given>)
    void trackChanged(const std::string& trackId) override;
    // `player`.playerClose()
    void setClosed() override;

private:
    OVWidgetManagerOLD() = default;
    void sendJavascript(const std::string& javascript);

    std::shared_ptr<platform::web::WebView> webView_;
    std::string player_ = "document.querySelector('orvane-dummy-player')";
};

}  // namespace orvane
