#include "platform/ui/views/Window.hpp"

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/input/TouchDispatcher.hpp"
#include "platform/ui/layout/ConstraintLayout.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/Renderer.hpp"

#include <cmath>

#include <cairo.h>

namespace platform::ui {

std::shared_ptr<Window> Window::create(Size size, double scale) {
    auto window = std::make_shared<Window>(ConstructorKey{}, size, scale);
    Application::shared().addWindow(window);
    return window;
}

Window::Window(ConstructorKey key, Size size, double scale)
    : View(key, Rect{Point{}, size}), scale_(scale > 0 ? scale : 1) {}

void Window::setScale(double scale) {
    if (scale > 0) scale_ = scale;
}

ConstraintLayout& Window::ensureConstraintLayout() {
    if (!constraintLayout_) constraintLayout_ = std::make_unique<ConstraintLayout>(*this);
    return *constraintLayout_;
}

void Window::setSafeAreaInsets(const EdgeInsets& insets) {
    if (insets == safeAreaInsets_) return;
    safeAreaInsets_ = insets;
    if (constraintLayout_) constraintLayout_->setNeedsUpdate();
    // Every view's insets may have changed: lay the whole tree out again.
    std::vector<std::shared_ptr<View>> pending{shared_from_this()};
    while (!pending.empty()) {
        auto v = pending.back();
        pending.pop_back();
        v->setNeedsLayout();
        pending.insert(pending.end(), v->subviews().begin(), v->subviews().end());
    }
}

void Window::setRootView(std::shared_ptr<View> view) {
    if (view == rootView_) return;
    if (rootView_ && rootView_->superview().get() == this) rootView_->removeFromSuperview();
    rootView_ = std::move(view);
    if (!rootView_) return;
    rootView_->setFrame(bounds());
    rootView_->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
    addSubview(rootView_);
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
    if (controller == rootViewController_) return;
    auto old = std::move(rootViewController_);
    if (old) old->beginAppearanceTransition(false, false);
    rootViewController_ = std::move(controller);
    if (rootViewController_) rootViewController_->beginAppearanceTransition(true, false);
    setRootView(rootViewController_ ? rootViewController_->view() : nullptr);
    if (old) old->endAppearanceTransition();
    if (rootViewController_) rootViewController_->endAppearanceTransition();
}

std::shared_ptr<View> Window::hitTest(Point point) {
    if (ignoringInteraction_ > 0) return nullptr;
    return View::hitTest(point);
}

std::optional<Image> Window::snapshot() {
    PLATFORM_ASSERT_MAIN_THREAD();
    layoutIfNeeded();
    return Renderer::render(*this);
}

void Window::SurfaceDeleter::operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }

void Window::setFrameRequestHandler(std::function<void()> handler) {
    PLATFORM_ASSERT_MAIN_THREAD();
    frameRequestHandler_ = std::move(handler);
}

bool Window::needsFrame() const { return true; }

Rect Window::renderFrame(std::optional<double> /*frameTime*/) {
    PLATFORM_ASSERT_MAIN_THREAD();
    layoutIfNeeded();
    const Size points = size();
    if (!(points.width > 0) || !(points.height > 0)) return Rect{};
    const int pw = static_cast<int>(std::ceil(points.width * scale_));
    const int ph = static_cast<int>(std::ceil(points.height * scale_));
    if (pw > 16384 || ph > 16384) return Rect{};
    if (!backing_ || cairo_image_surface_get_width(backing_.get()) != pw ||
        cairo_image_surface_get_height(backing_.get()) != ph) {
        backing_.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pw, ph));
    }
    cairo_t* cr = cairo_create(backing_.get());
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_scale(cr, scale_, scale_);
    Renderer::draw(cr, *layer());
    cairo_destroy(cr);
    cairo_surface_flush(backing_.get());
    return bounds();
}

void Window::scheduleLayoutPass() {
    if (layoutPassPending_) return;
    layoutPassPending_ = true;
    std::weak_ptr<View> weak = weak_from_this();
    core::RunLoop::main().async([weak] {
        auto self = std::static_pointer_cast<Window>(weak.lock());
        if (!self) return;
        self->layoutPassPending_ = false;
        self->layoutIfNeeded();
    });
}

}  // namespace platform::ui

// ---- Touches ----

namespace platform::ui {

Window::~Window() = default;

void Window::sendTouch(int identifier, TouchPhase phase, Point location) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!touchDispatcher_) touchDispatcher_ = std::make_unique<TouchDispatcher>(*this);
    auto keepAlive = shared_from_this();
    constexpr double maximumCoordinate = 1e7;
    if (!(std::fabs(location.x) <= maximumCoordinate && std::fabs(location.y) <= maximumCoordinate)) {
        core::debugPrint("Window: dropped a touch at a location that is not finite or out of range");
        if (phase == TouchPhase::ended || phase == TouchPhase::cancelled) touchDispatcher_->cancel(identifier);
        return;
    }
    touchDispatcher_->send(identifier, phase, location);
}

}  // namespace platform::ui
