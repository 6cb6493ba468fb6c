// The bridge between the listening widget's script and the native side.
//
// Every message the widget posts reaches `didReceive(message)` (called by the
// widget web view on the main thread): audio commands go to the delegate (the
// audio player), the widget's promises are answered, and each posted state is
// decoded on the serial queue "decodeQueue", then, back on the main queue,
// kept as `lastState` and handed to every observer in registration order.
// The same object sends player actions, tracking actions, events and promise
// answers back into the widget through its web view.
//
// One instance for the process (`shared()`). Main-thread object: `lastState`,
// the observers and the web view are only touched on the main thread; a
// script sent from another thread is handed to the main queue first. The
// delegate is held weakly; observers and the web view strongly.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orvane/model/RawEnum.hpp"
#include "orvane/widget/OVObserver.hpp"
#include "orvane/widget/OVState.hpp"
#include "orvane/widget/OVWidgetScripts.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/Json.hpp"
#include "platform/web/ScriptMessage.hpp"

namespace orvane {

class OVWebView;

// What the bridge asks of the player. Implemented by the audio player, which
// makes itself the bridge's delegate.
class OVWidgetManagerDelegate {
public:
    virtual ~OVWidgetManagerDelegate() = default;
    // Makes the given audio address the player's new source.
    virtual void widgetSetSource(const std::string& source) = 0;
    // Starts playing; calls `completion` with whether playing started. The
    // completion may be called later and from another thread.
    virtual void widgetPlay(std::function<void(bool)> completion) = 0;
    virtual void widgetPause() = 0;
    // The playback position in seconds, none when there is none.
    virtual std::optional<double> widgetGetCurrentTime() = 0;
};

// The names of the messages the widget posts.
enum class OVWidgetEvents { setSource, play, pause, setCurrentTime, getCurrentTime, updatedState };

template <>
struct EnumTraits<OVWidgetEvents> {
    static constexpr std::array<std::pair<OVWidgetEvents, std::string_view>, 6> table{{
        {OVWidgetEvents::setSource, "setSource"},
        {OVWidgetEvents::play, "play"},
        {OVWidgetEvents::pause, "pause"},
        {OVWidgetEvents::setCurrentTime, "setCurrentTime"},
        {OVWidgetEvents::getCurrentTime, "getCurrentTime"},
        {OVWidgetEvents::updatedState, "stateUpdate"},
    }};
};

// The decoded bodies of the widget's messages.
struct OVWidgetMessage {
    // Body of "play" and "getCurrentTime".
    struct Promise {
        std::string promiseId;  // "promiseId", required text
        static Promise decode(const platform::core::Json& json);
    };
    // Body of "setSource".
    struct SetSource {
        std::string source;  // "source", required text
        static SetSource decode(const platform::core::Json& json);
    };
};

class OVWidgetManager {
public:
    using SDKPlayerAction = orvane::SDKPlayerAction;
    using SDKTracking = orvane::SDKTracking;
    using SDKEvent = orvane::SDKEvent;

    // Governs the bridge's and the widget web view's own debug lines.
    static constexpr bool debugPrintIsEnabled = true;

    static OVWidgetManager& shared();

    OVWidgetManager(const OVWidgetManager&) = delete;
    OVWidgetManager& operator=(const OVWidgetManager&) = delete;

    std::shared_ptr<OVWidgetManagerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVWidgetManagerDelegate> delegate) { delegate_ = std::move(delegate); }

    // The last state that decoded; none until the first one has. A state is
    // never changed once decoded: the bridge keeps the very state it hands
    // to the observers, without a copy.
    const std::shared_ptr<const OVState>& lastState() const { return lastState_; }
    void setLastState(std::shared_ptr<const OVState> state) { lastState_ = std::move(state); }
    void setLastState(std::optional<OVState> state) {
        lastState_ = state ? std::make_shared<const OVState>(std::move(*state)) : nullptr;
    }

    // The serial queue (user-interactive) on which state bodies are decoded.
    const std::shared_ptr<platform::core::DispatchQueue>& decodeQueue() const { return decodeQueue_; }

    // The web view that runs the widget; scripts go to it.
    const std::shared_ptr<OVWebView>& webView() const { return webView_; }
    void setWebView(std::shared_ptr<OVWebView> webView) { webView_ = std::move(webView); }

    // Appends an observer (no duplicate check; observers are never removed).
    void addObserver(std::shared_ptr<OVObserver> observer);
    // Calls every observer, in registration order, on a copy of the list:
    // the first with the state the bridge keeps (`didReceiveShared`), the
    // second with a state of the caller's (`didReceive`).
    void dispatch(const std::shared_ptr<const OVState>& state);
    void dispatch(const OVState& state);

    // Handles one message of the widget; main thread. The second keeps the
    // message's body (a state is decoded from it without a copy).
    void didReceive(const platform::web::ScriptMessage& message);
    void didReceive(platform::web::ScriptMessage&& message);
    // Appends "<date> -- <name>" to the debug log file.
    void debugLLog(const platform::web::ScriptMessage& message);

    void send(const SDKPlayerAction& action);
    void send(SDKTracking tracking);
    void send(const SDKEvent& event);

private:
    OVWidgetManager();

    void sendJavascript(std::string javascript);
    void promise(const OVPromiseType& type);

    std::weak_ptr<OVWidgetManagerDelegate> delegate_;
    std::shared_ptr<const OVState> lastState_;
    std::vector<std::shared_ptr<OVObserver>> observers_;
    std::shared_ptr<platform::core::DispatchQueue> decodeQueue_;
    std::shared_ptr<OVWebView> webView_;
};

}  // namespace orvane
