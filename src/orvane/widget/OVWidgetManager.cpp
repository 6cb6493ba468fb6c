#include "orvane/widget/OVWidgetManager.hpp"

#include <ctime>

#include "orvane/model/Decoding.hpp"
#include "orvane/widget/DebugDescription.hpp"
#include "orvane/widget/OVTextLog.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "platform/core/Date.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/NoDestructor.hpp"
#include "platform/core/RunLoop.hpp"

namespace orvane {

using platform::core::debugPrint;
using platform::core::Json;

namespace {

// A text in the debug form: quoted, with escapes.
std::string debugQuoted(std::string_view text) {
    return Json(std::string(text)).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string describe(const Json& value) { return debugDescription(value); }

template <class T, class F>
std::string describeOptional(const std::optional<T>& value, F&& describeValue) {
    return value ? describeValue(*value) : std::string("nil");
}

// The platform's description of a date: "2026-12-07 07:41:44 +0000".
std::string dateDescription(platform::core::Date date) {
    const auto seconds = static_cast<std::time_t>(date.timeIntervalSince1970 >= 0
                                                      ? date.timeIntervalSince1970
                                                      : date.timeIntervalSince1970 - 1);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S +0000", &tm);
    return buffer;
}

// What the debug lines of a decoded state show, taken from the state before
// it leaves for the main queue.
struct DecodedStateLines {
    std::optional<OVAudioPlayerStatus> status;
    std::optional<OVLocation::Content> content;
    std::optional<std::string> trackKey;
    std::optional<double> currentTime;

    explicit DecodedStateLines(const OVState& state) {
        const OVLocation* location = nullptr;
        if (state.player && state.player->locationKey && state.locationForKey) {
            auto it = state.locationForKey->find(*state.player->locationKey);
            if (it != state.locationForKey->end()) location = &it->second;
        }
        if (state.player) status = state.player->playingStatus;
        if (location) content = location->content;
        if (location && location->track) {
            trackKey = location->track->key;
            currentTime = location->track->currentTime;
        }
    }
};

// Whether the bridge's debug lines are made: enabled, and read by someone.
bool printing() { return OVWidgetManager::debugPrintIsEnabled && platform::core::debugOutputIsRead(); }

void printDecodedState(const Json& body, const DecodedStateLines& lines) {
    debugPrint(describe(body));
    debugPrint(describeOptional(lines.status, [](OVAudioPlayerStatus s) { return debugQuoted(rawValue(s)); }));
    debugPrint(describeOptional(lines.content, [](const OVLocation::Content& c) {
        return "Content(key: " + debugQuoted(c.key) + ", loading: " + (c.loading ? "true" : "false") + ")";
    }));
    debugPrint(debugQuoted("current track") + " " +
               describeOptional(lines.trackKey, [](const std::string& k) { return debugQuoted(k); }));
    debugPrint(debugQuoted("current time") + " " +
               describeOptional(lines.currentTime, [](double t) { return plainDescription(t); }) + "\n");
}

// The body a promise's identifier is read from: the widget's answer must
// carry the identifier it sent, code unit for code unit, even one holding a
// lone surrogate (OVPromiseType's script writes such a one back as an escape).
const Json& promiseBody(const platform::web::ScriptMessage& message) {
    return message.exactBody ? *message.exactBody : message.body;
}

}  // namespace

OVWidgetMessage::Promise OVWidgetMessage::Promise::decode(const Json& json) {
    const auto& object = decoding::object(json);
    return Promise{decoding::required<std::string>(object, "promiseId")};
}

OVWidgetMessage::SetSource OVWidgetMessage::SetSource::decode(const Json& json) {
    const auto& object = decoding::object(json);
    return SetSource{decoding::required<std::string>(object, "source")};
}

OVWidgetManager& OVWidgetManager::shared() {
    static platform::core::NoDestructor<OVWidgetManager> instance{std::in_place, [] { return OVWidgetManager(); }};
    return *instance;
}

OVWidgetManager::OVWidgetManager()
    : decodeQueue_(platform::core::DispatchQueue::makeSerial("decodeQueue",
                                                             platform::core::QualityOfService::userInteractive)) {}

void OVWidgetManager::addObserver(std::shared_ptr<OVObserver> observer) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (observer) observers_.push_back(std::move(observer));
}

void OVWidgetManager::dispatch(const std::shared_ptr<const OVState>& state) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!state) return;
    const auto observers = observers_;
    for (const auto& observer : observers) observer->didReceiveShared(state);
}

void OVWidgetManager::dispatch(const OVState& state) {
    PLATFORM_ASSERT_MAIN_THREAD();
    const auto observers = observers_;
    for (const auto& observer : observers) observer->didReceive(state);
}

void OVWidgetManager::didReceive(const platform::web::ScriptMessage& message) {
    didReceive(platform::web::ScriptMessage(message));
}

void OVWidgetManager::didReceive(platform::web::ScriptMessage&& message) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (printing()) debugPrint(debugQuoted("WIDGET -> SDK") + " " + debugQuoted(message.name));
    const auto event = fromRawValue<OVWidgetEvents>(message.name);
    if (!event) return;
    if (*event != OVWidgetEvents::updatedState && printing()) {
        debugPrint(debugQuoted("message body") + " " + describe(message.body));
    }

    switch (*event) {
        case OVWidgetEvents::setSource: {
            auto body = decodeValue<OVWidgetMessage::SetSource>(message.body);
            if (!body) return;
            if (auto player = delegate()) player->widgetSetSource(body->source);
            return;
        }
        case OVWidgetEvents::play: {
            auto body = decodeValue<OVWidgetMessage::Promise>(promiseBody(message));
            if (!body) return;
            if (auto player = delegate()) {
                player->widgetPlay([id = body->promiseId](bool playing) {
                    auto& bridge = OVWidgetManager::shared();
                    bridge.promise(playing ? OVPromiseType::resolve(id) : OVPromiseType::reject(id));
                });
            }
            return;
        }
        case OVWidgetEvents::pause:
            if (auto player = delegate()) player->widgetPause();
            return;
        case OVWidgetEvents::setCurrentTime:
            return;
        case OVWidgetEvents::getCurrentTime: {
            auto body = decodeValue<OVWidgetMessage::Promise>(promiseBody(message));
            if (!body) return;
            std::optional<double> time;
            if (auto player = delegate()) time = player->widgetGetCurrentTime();
            promise(time ? OVPromiseType::resolve(body->promiseId, Json(*time))
                         : OVPromiseType::resolve(body->promiseId, Json(10)));
            return;
        }
        case OVWidgetEvents::updatedState:
            decodeQueue_->async([body = std::move(message.body)]() mutable {
                // The state takes the body's strings unless the body is
                // printed afterwards (asked once: the lines of one state
                // are made all or none).
                const bool print = printing();
                auto decoded = print ? decodeValue<OVState>(body, false) : decodeValue<OVState>(std::move(body), false);
                if (!decoded) return;
                // One state, never changed again, is kept as the last state
                // and handed to every observer. It goes to the main queue
                // first; its debug lines are made here meanwhile, off the way
                // to the observers (and before the next state is decoded),
                // from what they show of it, taken beforehand.
                std::optional<DecodedStateLines> printed;
                if (print) printed.emplace(*decoded);
                auto state = std::make_shared<const OVState>(std::move(*decoded));
                platform::core::DispatchQueue::main().async([state = std::move(state)] {
                    auto& bridge = OVWidgetManager::shared();
                    bridge.setLastState(state);
                    bridge.dispatch(state);
                });
                if (printed) printDecodedState(body, *printed);
            });
            return;
    }
}

void OVWidgetManager::debugLLog(const platform::web::ScriptMessage& message) {
    OVTextLog::shared().write(dateDescription(platform::core::Date::now()) + " -- " + message.name);
}

void OVWidgetManager::send(const SDKPlayerAction& action) { sendJavascript(action.script()); }

void OVWidgetManager::send(SDKTracking tracking) { sendJavascript(script(tracking)); }

void OVWidgetManager::send(const SDKEvent& event) { sendJavascript(event.script()); }

void OVWidgetManager::promise(const OVPromiseType& type) { sendJavascript(type.formatted()); }

void OVWidgetManager::sendJavascript(std::string javascript) {
    // The web view and its page belong to the main thread: a script sent from
    // elsewhere (a player's late completion) goes there first.
    if (!platform::core::RunLoop::main().isCurrent()) {
        platform::core::DispatchQueue::main().async(
            [javascript = std::move(javascript)]() mutable { OVWidgetManager::shared().sendJavascript(std::move(javascript)); });
        return;
    }
    if (!webView_) return;
    webView_->send(javascript, [](const std::optional<Json>&, const std::optional<platform::web::ScriptError>& error) {
        if (error) debugPrint(error->description());
    });
}

}  // namespace orvane
