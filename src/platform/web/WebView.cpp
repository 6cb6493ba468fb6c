#include "platform/web/WebView.hpp"

#include <JavaScriptCore/JavaScript.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <unordered_set>
#include <sstream>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/web/EngineJSON.hpp"
#include "platform/web/HTMLScripts.hpp"
#include "platform/web/JSText.hpp"

namespace platform::web {

using core::Json;

std::string ScriptError::description() const {
    if (sourceURL.empty() && line <= 0) return message;
    std::string out = message + " (";
    out += sourceURL.empty() ? std::string("script") : sourceURL;
    if (line > 0) out += ":" + std::to_string(line);
    return out + ")";
}

namespace {

using NativeCall = std::function<JSValueRef(JSContextRef, std::size_t, const JSValueRef[], JSValueRef*)>;

struct Native {
    NativeCall call;
};

JSValueRef callNative(JSContextRef context, JSObjectRef function, JSObjectRef, std::size_t argumentCount,
                      const JSValueRef arguments[], JSValueRef* exception) {
    auto* native = static_cast<Native*>(JSObjectGetPrivate(function));
    if (!native) return JSValueMakeUndefined(context);
    return native->call(context, argumentCount, arguments, exception);
}

// The class of our native functions: callable objects whose private data is
// a Native owned by the page (never by the object, so no finalizer is needed).
JSClassRef nativeFunctionClass() {
    static JSClassRef cls = [] {
        JSClassDefinition definition = kJSClassDefinitionEmpty;
        definition.className = "NativeFunction";
        definition.callAsFunction = callNative;
        return JSClassCreate(&definition);
    }();
    return cls;
}

// Every page of the process lives in one context group (one virtual machine),
// made on first use and kept to the end of the process: creating a machine per
// page would be slow, and pages are only ever used on the main thread.
JSContextGroupRef sharedContextGroup() {
    static JSContextGroupRef group = JSContextGroupCreate();
    return group;
}

JSValueRef makeError(JSContextRef context, std::string_view message) {
    JSText text(message);
    JSValueRef argument = JSValueMakeString(context, text.get());
    return JSObjectMakeError(context, 1, &argument, nullptr);
}

void setProperty(JSContextRef context, JSObjectRef object, std::string_view name, JSValueRef value,
                 JSPropertyAttributes attributes = kJSPropertyAttributeNone) {
    JSText key(name);
    JSObjectSetProperty(context, object, key.get(), value, attributes, nullptr);
}

JSValueRef getProperty(JSContextRef context, JSObjectRef object, std::string_view name) {
    JSText key(name);
    return JSObjectGetProperty(context, object, key.get(), nullptr);
}

ScriptError scriptError(JSContextRef context, JSValueRef exception) {
    ScriptError error;
    error.message = stringFromValue(context, exception);
    if (JSValueIsObject(context, exception)) {
        JSObjectRef object = JSValueToObject(context, exception, nullptr);
        JSValueRef line = getProperty(context, object, "line");
        if (line && JSValueIsNumber(context, line)) {
            const double number = JSValueToNumber(context, line, nullptr);
            if (std::isfinite(number) && number > 0 && number < 1e9) error.line = static_cast<int>(number);
        }
        JSValueRef source = getProperty(context, object, "sourceURL");
        if (source && JSValueIsString(context, source)) error.sourceURL = stringFromValue(context, source);
    }
    return error;
}

enum class JsonOutcome { value, undefined, failed };

// Deepest nesting of objects and arrays a value handed over may have: far
// beyond any message of a widget, and shallow enough for everything that
// later copies, prints or compares the JSON recursively.
constexpr std::size_t kMaxJsonDepth = 1000;

JSValueRef makeTypedError(JSContextRef context, const char* constructor, const std::string& message) {
    JSText text(message);
    JSValueRef argument = JSValueMakeString(context, text.get());
    JSText name(constructor);
    JSValueRef type = JSObjectGetProperty(context, JSContextGetGlobalObject(context), name.get(), nullptr);
    if (type && JSValueIsObject(context, type)) {
        JSObjectRef object = JSValueToObject(context, type, nullptr);
        if (object && JSObjectIsConstructor(context, object)) {
            JSValueRef thrown = nullptr;
            JSObjectRef error = JSObjectCallAsConstructor(context, object, 1, &argument, &thrown);
            if (error && !thrown) return error;
        }
    }
    return JSObjectMakeError(context, 1, &argument, nullptr);
}

// The JSON form of a value, made by the engine's JSON.stringify: `undefined`
// (and values JSON has no form for) give `undefined`; a value that cannot be
// serialised (a cycle, a throwing getter or toJSON, nesting deeper than
// kMaxJsonDepth) gives `failed` with the thrown error in *exception when
// there is one. Texts holding a lone surrogate arrive with U+FFFD in its place;
// when `exact` is given and a text held one, it gets the value once more with
// every lone surrogate kept (ScriptMessage::exactBody).
JsonOutcome jsonFromValue(JSContextRef context, JSValueRef value, Json& out, JSValueRef* exception,
                          std::optional<Json>* exact = nullptr) {
    if (!value || JSValueIsUndefined(context, value)) return JsonOutcome::undefined;
    JSValueRef thrown = nullptr;
    JSText text = JSText::adopt(JSValueCreateJSONString(context, value, 0, &thrown));
    if (thrown) {
        if (exception) *exception = thrown;
        return JsonOutcome::failed;
    }
    if (!text) return JsonOutcome::undefined;
    const JSChar* chars = JSStringGetCharactersPtr(text.get());
    const std::u16string_view engineText(reinterpret_cast<const char16_t*>(chars), JSStringGetLength(text.get()));
    bool loneSurrogate = false;
    switch (jsonFromEngineText(engineText, out, kMaxJsonDepth, LoneSurrogates::replace, &loneSurrogate)) {
        case EngineJSONOutcome::value:
            if (exact && loneSurrogate) {
                Json kept;
                if (jsonFromEngineText(engineText, kept, kMaxJsonDepth, LoneSurrogates::keep) ==
                    EngineJSONOutcome::value)
                    *exact = std::move(kept);
            }
            break;
        case EngineJSONOutcome::tooDeep:
            out = nullptr;
            if (exception) {
                *exception = makeTypedError(context, "Error",
                                            "DataCloneError: the message is nested more than " +
                                                std::to_string(kMaxJsonDepth) + " levels deep");
            }
            return JsonOutcome::failed;
        case EngineJSONOutcome::malformed:
            out = nullptr;
            return JsonOutcome::failed;
    }
    return JsonOutcome::value;
}

std::optional<std::string> readTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(out).str();
}

bool hasJavaScriptExtension(const std::filesystem::path& path) {
    auto ext = path.extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".js" || ext == ".mjs";
}

}  // namespace

// One page: a global context and everything native that belongs to it.
struct WebView::Page {
    struct Timer {
        JSValueRef callback = nullptr;  // a function, or null when `code` is used
        std::string code;
        std::vector<JSValueRef> arguments;
    };

    JSGlobalContextRef context = JSGlobalContextCreateInGroup(sharedContextGroup(), nullptr);
    std::vector<std::unique_ptr<Native>> natives;
    JSObjectRef messageHandlers = nullptr;  // protected
    std::map<std::string, JSObjectRef> handlerObjects;  // each protected
    std::map<int, Timer> timers;
    int nextTimerId = 1;

    Page() = default;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    ~Page() {
        for (auto& [id, timer] : timers) unprotect(timer);
        for (auto& [name, object] : handlerObjects) JSValueUnprotect(context, object);
        if (messageHandlers) JSValueUnprotect(context, messageHandlers);
        JSGlobalContextRelease(context);
    }

    void unprotect(Timer& timer) {
        if (timer.callback) JSValueUnprotect(context, timer.callback);
        for (auto value : timer.arguments) JSValueUnprotect(context, value);
    }

    JSObjectRef makeFunction(NativeCall call) {
        natives.push_back(std::make_unique<Native>(Native{std::move(call)}));
        return JSObjectMake(context, nativeFunctionClass(), natives.back().get());
    }

    JSObjectRef global() const { return JSContextGetGlobalObject(context); }
};

std::shared_ptr<WebView> WebView::create(WebViewConfiguration configuration) {
    auto view = std::make_shared<WebView>(Token{}, std::move(configuration));
    view->finishCreation();
    return view;
}

void WebView::finishCreation() { configuration_.userContentController->attach(shared_from_this()); }

WebView::WebView(Token, WebViewConfiguration configuration) : configuration_(std::move(configuration)) {
    if (!configuration_.userContentController) configuration_.userContentController = UserContentController::create();
    replacePage();
}

WebView::~WebView() = default;

void WebView::replacePage() {
    page_.reset();
    page_ = std::make_unique<Page>();
    const std::uint64_t generation = ++pageGeneration_;
    Page& page = *page_;
    JSContextRef context = page.context;
    JSObjectRef global = page.global();

    setProperty(context, global, "window", global);
    setProperty(context, global, "self", global);

    JSObjectRef webkit = JSObjectMake(context, nullptr, nullptr);
    page.messageHandlers = JSObjectMake(context, nullptr, nullptr);
    JSValueProtect(context, page.messageHandlers);
    setProperty(context, webkit, "messageHandlers", page.messageHandlers, kJSPropertyAttributeReadOnly);
    setProperty(context, global, "webkit", webkit);

    // setTimeout(callback or code, delay in ms, ...arguments) -> id
    JSObjectRef setTimeout = page.makeFunction(
        [this, generation](JSContextRef ctx, std::size_t argc, const JSValueRef argv[], JSValueRef*) -> JSValueRef {
            Page& current = *page_;
            Page::Timer timer;
            if (argc > 0 && JSValueIsObject(ctx, argv[0]) &&
                JSObjectIsFunction(ctx, JSValueToObject(ctx, argv[0], nullptr))) {
                timer.callback = argv[0];
            } else if (argc > 0 && JSValueIsString(ctx, argv[0])) {
                timer.code = stringFromValue(ctx, argv[0]);
            } else {
                return JSValueMakeNumber(ctx, 0);
            }
            double delay = argc > 1 ? JSValueToNumber(ctx, argv[1], nullptr) : 0;
            if (!std::isfinite(delay) || delay < 0) delay = 0;
            if (timer.callback) JSValueProtect(ctx, timer.callback);
            for (std::size_t i = 2; i < argc; ++i) {
                JSValueProtect(ctx, argv[i]);
                timer.arguments.push_back(argv[i]);
            }
            const int id = current.nextTimerId++;
            current.timers.emplace(id, std::move(timer));
            std::weak_ptr<WebView> weak = weak_from_this();
            core::RunLoop::main().asyncAfter(delay / 1000.0, [weak, generation, id] {
                if (auto view = weak.lock()) view->firePageTimer(generation, id);
            });
            return JSValueMakeNumber(ctx, id);
        });
    setProperty(context, global, "setTimeout", setTimeout);

    JSObjectRef clearTimeout = page.makeFunction(
        [this](JSContextRef ctx, std::size_t argc, const JSValueRef argv[], JSValueRef*) -> JSValueRef {
            if (argc > 0 && JSValueIsNumber(ctx, argv[0])) {
                const double id = JSValueToNumber(ctx, argv[0], nullptr);
                if (std::isfinite(id)) {
                    auto it = page_->timers.find(static_cast<int>(id));
                    if (it != page_->timers.end()) {
                        page_->unprotect(it->second);
                        page_->timers.erase(it);
                    }
                }
            }
            return JSValueMakeUndefined(ctx);
        });
    setProperty(context, global, "clearTimeout", clearTimeout);

    messageHandlersChanged();
}

void WebView::messageHandlersChanged() {
    if (!page_) return;
    Page& page = *page_;
    JSContextRef context = page.context;
    const auto names = configuration_.userContentController->handlerNames();

    // Drop the objects of names no longer registered.
    for (auto it = page.handlerObjects.begin(); it != page.handlerObjects.end();) {
        if (std::find(names.begin(), names.end(), it->first) == names.end()) {
            JSText key(it->first);
            JSObjectDeleteProperty(context, page.messageHandlers, key.get(), nullptr);
            JSValueUnprotect(context, it->second);
            it = page.handlerObjects.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& name : names) {
        if (page.handlerObjects.contains(name)) continue;
        JSObjectRef handler = JSObjectMake(context, nullptr, nullptr);
        JSObjectRef postMessage = page.makeFunction(
            [this, name](JSContextRef ctx, std::size_t argc, const JSValueRef argv[], JSValueRef* exception) -> JSValueRef {
                Json body;
                std::optional<Json> exactBody;
                JSValueRef thrown = nullptr;
                switch (jsonFromValue(ctx, argc > 0 ? argv[0] : nullptr, body, &thrown, &exactBody)) {
                    case JsonOutcome::value:
                        break;
                    case JsonOutcome::undefined:
                        body = nullptr;
                        break;
                    case JsonOutcome::failed:
                        *exception = thrown ? thrown : makeError(ctx, "DataCloneError: the message could not be cloned");
                        return JSValueMakeUndefined(ctx);
                }
                std::weak_ptr<WebView> weak = weak_from_this();
                core::DispatchQueue::main().async([weak, name, body = std::move(body),
                                                   exactBody = std::move(exactBody)]() mutable {
                    auto view = weak.lock();
                    if (!view) return;
                    auto controller = view->configuration_.userContentController;
                    auto handler = controller->handler(name);
                    if (!handler) return;
                    handler->receiveMessage(*controller,
                                            ScriptMessage{name, std::move(body), weak, std::move(exactBody)});
                });
                return JSValueMakeUndefined(ctx);
            });
        setProperty(context, handler, "postMessage", postMessage, kJSPropertyAttributeReadOnly);
        JSValueProtect(context, handler);
        page.handlerObjects.emplace(name, handler);
        setProperty(context, page.messageHandlers, name, handler, kJSPropertyAttributeReadOnly);
    }
}

void WebView::firePageTimer(std::uint64_t pageGeneration, int timerId) {
    if (pageGeneration != pageGeneration_ || !page_) return;
    auto it = page_->timers.find(timerId);
    if (it == page_->timers.end()) return;
    Page::Timer timer = std::move(it->second);
    page_->timers.erase(it);
    JSContextRef context = page_->context;
    JSValueRef exception = nullptr;
    if (timer.callback) {
        JSObjectRef function = JSValueToObject(context, timer.callback, nullptr);
        JSObjectCallAsFunction(context, function, nullptr, timer.arguments.size(), timer.arguments.data(), &exception);
        if (exception) core::debugPrint("web view: " + scriptError(context, exception).description());
    } else {
        runPageScript(timer.code, "");
    }
    // The callback may have replaced nothing (loads are asynchronous), so the
    // page that protected these values is still the current one.
    page_->unprotect(timer);
}

std::size_t WebView::pendingTimerCount() const { return page_ ? page_->timers.size() : 0; }

void WebView::runPageScript(const std::string& source, const std::string& sourceURL) {
    JSContextRef context = page_->context;
    JSText text(source);
    std::optional<JSText> url;
    if (!sourceURL.empty()) url.emplace(sourceURL);
    JSValueRef exception = nullptr;
    JSEvaluateScript(context, text.get(), nullptr, url ? url->get() : nullptr, 1, &exception);
    if (exception) core::debugPrint("web view: " + scriptError(context, exception).description());
}

void WebView::evaluateJavaScript(const std::string& script, EvaluationCompletion completion) {
    PLATFORM_ASSERT_MAIN_THREAD();
    JSContextRef context = page_->context;
    JSText text(script);
    JSValueRef exception = nullptr;
    JSValueRef value = JSEvaluateScript(context, text.get(), nullptr, nullptr, 1, &exception);
    std::optional<Json> result;
    std::optional<ScriptError> error;
    if (exception) {
        error = scriptError(context, exception);
    } else {
        Json json;
        switch (jsonFromValue(context, value, json, nullptr)) {
            case JsonOutcome::value:
                result = std::move(json);
                break;
            case JsonOutcome::undefined:
                break;
            case JsonOutcome::failed:
                error = ScriptError{"JavaScript execution returned a result of an unsupported type", "", 0};
                break;
        }
    }
    if (!completion) return;
    core::DispatchQueue::main().async(
        [completion = std::move(completion), result = std::move(result), error = std::move(error)] {
            completion(result, error);
        });
}

namespace {

// Resolves a script's src against the page's folder. None for addresses we
// cannot read (network addresses).
std::optional<std::filesystem::path> resolveSource(const std::string& src, const std::filesystem::path& base) {
    std::string path = src;
    if (path.rfind("file://", 0) == 0) {
        path.erase(0, 7);
    } else if (path.find("://") != std::string::npos) {
        return std::nullopt;
    }
    if (auto cut = path.find_first_of("?#"); cut != std::string::npos) path.erase(cut);
    std::filesystem::path p(path);
    return p.is_absolute() ? p : base / p;
}

}  // namespace

std::vector<WebView::PageScript> WebView::collectScripts(std::string_view html, const std::filesystem::path& base) {
    std::vector<PageScript> scripts;
    for (auto& script : extractScripts(html)) {
        if (!script.src) {
            scripts.push_back(PageScript{std::move(script.text), "", std::nullopt});
            continue;
        }
        auto path = resolveSource(*script.src, base);
        std::optional<std::string> source = path ? readTextFile(*path) : std::nullopt;
        if (source) {
            scripts.push_back(PageScript{std::move(*source), path->string(), std::nullopt});
        } else {
            scripts.push_back(PageScript{"", *script.src, "could not load script " + *script.src});
        }
    }
    return scripts;
}

Navigation WebView::loadHTMLString(std::string html, std::filesystem::path baseDirectory) {
    PLATFORM_ASSERT_MAIN_THREAD();
    const Navigation navigation = ++lastNavigation_;
    std::weak_ptr<WebView> weak = weak_from_this();
    core::DispatchQueue::main().async([weak, navigation, html = std::move(html), base = std::move(baseDirectory)] {
        auto view = weak.lock();
        if (!view || view->lastNavigation_ != navigation) return;
        view->startLoad(navigation, collectScripts(html, base));
    });
    return navigation;
}

Navigation WebView::loadFileURL(std::filesystem::path file) {
    PLATFORM_ASSERT_MAIN_THREAD();
    const Navigation navigation = ++lastNavigation_;
    std::weak_ptr<WebView> weak = weak_from_this();
    core::DispatchQueue::main().async([weak, navigation, file = std::move(file)] {
        auto view = weak.lock();
        if (!view || view->lastNavigation_ != navigation) return;
        auto text = readTextFile(file);
        if (!text) {
            view->failLoad(navigation, NavigationError{"could not read " + file.string()});
            return;
        }
        std::vector<PageScript> scripts;
        if (hasJavaScriptExtension(file)) {
            scripts.push_back(PageScript{std::move(*text), file.string(), std::nullopt});
        } else {
            scripts = collectScripts(*text, file.parent_path());
        }
        view->startLoad(navigation, std::move(scripts));
    });
    return navigation;
}

void WebView::startLoad(Navigation navigation, std::vector<PageScript> scripts) {
    replacePage();
    loadedNavigation_ = navigation;
    const std::uint64_t generation = pageGeneration_;
    const auto userScripts = configuration_.userContentController->userScripts();
    for (const auto& script : userScripts) {
        if (script.injectionTime == UserScriptInjectionTime::atDocumentStart) runPageScript(script.source, "");
    }
    for (const auto& script : scripts) {
        if (script.loadError) {
            core::debugPrint("web view: " + *script.loadError);
            continue;
        }
        runPageScript(script.source, script.sourceURL);
    }
    for (const auto& script : userScripts) {
        if (script.injectionTime == UserScriptInjectionTime::atDocumentEnd) runPageScript(script.source, "");
    }
    std::weak_ptr<WebView> weak = weak_from_this();
    core::DispatchQueue::main().async([weak, navigation, generation] {
        auto view = weak.lock();
        if (!view || view->pageGeneration_ != generation) return;
        if (auto delegate = view->navigationDelegate()) delegate->webViewDidFinish(*view, navigation);
    });
}

void WebView::failLoad(Navigation navigation, NavigationError error) {
    std::weak_ptr<WebView> weak = weak_from_this();
    core::DispatchQueue::main().async([weak, navigation, error = std::move(error)] {
        auto view = weak.lock();
        if (!view) return;
        if (auto delegate = view->navigationDelegate()) delegate->webViewDidFail(*view, navigation, error);
    });
}

}  // namespace platform::web
