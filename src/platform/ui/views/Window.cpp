#include "platform/ui/views/Window.hpp"

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/animation/FrameClock.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/input/TouchDispatcher.hpp"
#include "platform/ui/layout/ConstraintLayout.hpp"
#include "platform/ui/lists/ScrollView.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/Renderer.hpp"

#include <algorithm>
#include <cmath>

#include <cairo.h>

namespace platform::ui {

std::shared_ptr<Window> Window::create(Size size, double scale) {
    auto window = std::make_shared<Window>(ConstructorKey{}, size, scale);
    Application::shared().addWindow(window);
    return window;
}

Window::Window(ConstructorKey key, Size size, double scale)
    : View(key, Rect{Point{}, size}), scale_(scale > 0 ? scale : 1) {
    layer()->setDamageSink(this);
}

void Window::setScale(double scale) {
    if (!(scale > 0) || scale == scale_) return;
    scale_ = scale;
    addDamage(bounds());
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

void Window::boundsDidChange(const Rect& oldBounds) {
    if (bounds().size == oldBounds.size || !rootView_ || rootView_->superview().get() != this) return;
    const Size size = bounds().size;
    rootView_->setBounds(Rect{rootView_->bounds().origin, size});
    rootView_->setCenter({size.width / 2, size.height / 2});
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
    frameRequested_ = false;
    if (needsFrame()) requestFrame();
}

bool Window::needsFrame() const { return !damage_.isNull() || !animating_.empty(); }

void Window::requestFrame() {
    if (renderingFrame_ || frameRequested_ || !frameRequestHandler_) return;
    frameRequested_ = true;
    auto handler = frameRequestHandler_;  // the handler may replace itself
    handler();
}

void Window::addDamage(const Rect& area) {
    if (area.isNull()) return;
    const Rect whole = bounds();
    const bool finite = std::isfinite(area.origin.x) && std::isfinite(area.origin.y) &&
                        std::isfinite(area.size.width) && std::isfinite(area.size.height);
    // What lies outside the window is never drawn: a layer animating out of
    // sight (in a list's rows below the fold) must not widen the damage.
    // (The frame is asked for all the same: a layer's area after a change
    // is taken at the frame, and may be inside.)
    const Rect inside = finite ? area.standardized().intersection(whole) : whole;
    if (!inside.isNull() && !inside.isEmpty()) damage_ = damage_.unionWith(inside);
    requestFrame();
}

bool Window::isInTree(const Layer& layer) const {
    const Layer* l = &layer;
    std::shared_ptr<const Layer> hold;
    while (auto parent = l->superlayer()) {
        hold = std::move(parent);
        l = hold.get();
    }
    return l == this->layer().get();
}

void Window::layerWillChange(Layer& layer) {
    Layer::DamageMark& mark = layer.damageMark();
    if (mark.sink == this && mark.frame == frameSerial_) return;  // its area before is known
    mark = {this, frameSerial_};
    if (damage_.contains(bounds())) {
        requestFrame();
        return;
    }
    addDamage(Renderer::coveredArea(layer));
    changed_.push_back(layer.weak_from_this());
}

void Window::layerIsAnimating(Layer& layer) {
    for (const auto& entry : animating_)
        if (entry.layer.lock().get() == &layer) return;
    animating_.push_back({layer.weak_from_this(), Rect::null()});
    requestFrame();
}

Rect Window::renderFrame(std::optional<double> frameTime) {
    PLATFORM_ASSERT_MAIN_THREAD();
    const auto keepAlive = shared_from_this();
    const FrameClock::Scope frame(frameTime.value_or(core::RunLoop::main().now()));
    renderingFrame_ = true;  // what the layout pass changes is drawn in this frame
    layoutIfNeeded();
    frameRequested_ = false;

    // What the animations show now, and where they showed it before.
    for (std::size_t i = 0; i < animating_.size();) {
        auto& entry = animating_[i];
        const auto layer = entry.layer.lock();
        if (!layer || !isInTree(*layer)) {
            addDamage(entry.shown);
            animating_.erase(animating_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        const Rect now = Renderer::coveredArea(*layer);
        addDamage(entry.shown);
        addDamage(now);
        entry.shown = now;
        if (!layer->hasRunningAnimations()) {
            animating_.erase(animating_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }
    // Where the changed layers are now.
    for (const auto& weak : changed_) {
        const auto layer = weak.lock();
        if (layer && isInTree(*layer) && !damage_.contains(bounds())) addDamage(Renderer::coveredArea(*layer));
    }
    changed_.clear();
    ++frameSerial_;

    const Rect area = drawDamage();
    damage_ = Rect::null();
    renderingFrame_ = false;
    if (needsFrame()) requestFrame();
    return area;
}

Rect Window::drawDamage() {
    const Size points = size();
    if (!(points.width > 0) || !(points.height > 0)) return Rect{};
    const double pw = std::ceil(points.width * scale_), ph = std::ceil(points.height * scale_);
    if (!(pw <= 16384) || !(ph <= 16384)) return Rect{};
    const int width = static_cast<int>(pw), height = static_cast<int>(ph);
    if (!backing_ || cairo_image_surface_get_width(backing_.get()) != width ||
        cairo_image_surface_get_height(backing_.get()) != height || backingScale_ != scale_) {
        backing_.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
        backingScale_ = scale_;
        if (cairo_surface_status(backing_.get()) != CAIRO_STATUS_SUCCESS) {
            core::debugPrint("Window: could not make the backing surface");
            backing_.reset();
            return Rect{};
        }
        damage_ = bounds();
    }
    if (damage_.isNull()) return Rect{};

    // A blur that the damage reaches reads what lies beneath it, beyond the
    // damage too: the whole window is redrawn.
    if (!damage_.contains(bounds())) {
        std::vector<const Layer*> pending{layer().get()};
        while (!pending.empty()) {
            const Layer* l = pending.back();
            pending.pop_back();
            if (l->isHidden()) continue;
            if (l->drawsBackdrop() && Renderer::coveredArea(*l).intersects(damage_)) {
                damage_ = bounds();
                break;
            }
            for (const auto& sub : l->sublayers()) pending.push_back(sub.get());
        }
    }

    // The damage in whole pixels.
    const Rect damage = damage_.intersection(bounds());
    if (damage.isNull() || damage.isEmpty()) return Rect{};
    const int x0 = std::clamp(static_cast<int>(std::floor(damage.minX() * scale_)), 0, width);
    const int y0 = std::clamp(static_cast<int>(std::floor(damage.minY() * scale_)), 0, height);
    const int x1 = std::clamp(static_cast<int>(std::ceil(damage.maxX() * scale_)), 0, width);
    const int y1 = std::clamp(static_cast<int>(std::ceil(damage.maxY() * scale_)), 0, height);
    if (x1 <= x0 || y1 <= y0) return Rect{};

    cairo_t* cr = cairo_create(backing_.get());
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    cairo_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_scale(cr, scale_, scale_);
    // What an opaque layer covers wholly (an animation beneath a sheet) is
    // not drawn.
    const Rect pixels{x0 / scale_, y0 / scale_, (x1 - x0) / scale_, (y1 - y0) / scale_};
    Renderer::draw(cr, *layer(), Renderer::opaqueCover(*layer(), pixels));
    cairo_destroy(cr);
    cairo_surface_flush(backing_.get());
    return Rect{x0 / scale_, y0 / scale_, (x1 - x0) / scale_, (y1 - y0) / scale_};
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

Window::~Window() {
    if (layer()->damageSink() == this) layer()->setDamageSink(nullptr);
}

void Window::sendTouch(int identifier, TouchPhase phase, Point location, std::optional<double> timestamp) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!touchDispatcher_) touchDispatcher_ = std::make_unique<TouchDispatcher>(*this);
    auto keepAlive = shared_from_this();
    constexpr double maximumCoordinate = 1e7;
    if (!(std::fabs(location.x) <= maximumCoordinate && std::fabs(location.y) <= maximumCoordinate)) {
        core::debugPrint("Window: dropped a touch at a location that is not finite or out of range");
        if (phase == TouchPhase::ended || phase == TouchPhase::cancelled) touchDispatcher_->cancel(identifier);
        return;
    }
    touchDispatcher_->send(identifier, phase, location, timestamp);
}

}  // namespace platform::ui

// ---- Wheel ----

namespace platform::ui {

bool Window::sendScroll(Point location, Point delta, ScrollUnit unit) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!std::isfinite(location.x) || !std::isfinite(location.y) || !std::isfinite(delta.x) ||
        !std::isfinite(delta.y)) {
        core::debugPrint("Window: dropped a scroll that is not finite");
        return false;
    }
    auto keepAlive = shared_from_this();
    layoutIfNeeded();
    const auto hit = hitTest(location);
    bool moved = false;
    for (const bool vertical : {false, true}) {
        const double amount = vertical ? delta.y : delta.x;
        if (amount == 0) continue;
        for (auto view = hit; view && view.get() != this; view = view->superview()) {
            auto* scrollView = dynamic_cast<ScrollView*>(view.get());
            if (!scrollView || !scrollView->canScrollAlong(vertical)) continue;
            double points = amount;
            if (unit == ScrollUnit::steps) {
                const Size size = scrollView->bounds().size;
                points *= std::pow(std::max(1.0, vertical ? size.height : size.width), 2.0 / 3.0);
            }
            moved |= scrollView->scrollBy(vertical ? Point{0, points} : Point{points, 0});
            break;
        }
    }
    return moved;
}

}  // namespace platform::ui
