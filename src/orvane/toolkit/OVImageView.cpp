#include "orvane/toolkit/OVImageView.hpp"

#include "orvane/toolkit/GetImageTask.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using namespace platform::ui;

namespace {
// Fades `view` out over `duration` seconds where the kit animates views,
// at once otherwise.
template <class V>
void fadeOut(const std::shared_ptr<V>& view, double duration) {
    if constexpr (requires { V::animate(duration, std::function<void()>{}); }) {
        V::animate(duration, [view] { view->setAlpha(0); });
    } else {
        view->setAlpha(0);
    }
}
}  // namespace

std::shared_ptr<OVImageView> OVImageView::create(const Rect& frame) {
    auto view = std::make_shared<OVImageView>(ConstructorKey{}, frame);
    view->setImageView();
    view->setAnimationConstraints();
    view->setClipsToBounds(true);
    return view;
}

OVImageView::OVImageView(ConstructorKey key, const Rect& frame)
    : View(key, frame),
      uiimageView_(ImageView::create()),
      spinAninmationView_(OVCircleSpinAnimationView::create(
          Rect{0, 0, OVConstants::OVImageView::spinAnimationSize.width,
               OVConstants::OVImageView::spinAnimationSize.height})) {}

void OVImageView::setImageView() {
    uiimageView_->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
    uiimageView_->setFrame(bounds());
    addSubview(uiimageView_);
}

void OVImageView::setAnimationConstraints() {
    // 40 x 40, centred: kept so by layoutSubviews.
    addSubview(spinAninmationView_);
    setNeedsLayout();
}

void OVImageView::layoutSubviews() {
    const Size size = OVConstants::OVImageView::spinAnimationSize;
    const Rect b = bounds();
    spinAninmationView_->setFrame(
        Rect{b.midX() - size.width / 2, b.midY() - size.height / 2, size.width, size.height});
}

void OVImageView::setUrl(std::optional<platform::core::URL> url) {
    url_ = std::move(url);
    fadeOut(uiimageView_, 0.3);
    if (task_) task_->setIsValid(false);
    if (!url_) {
        // Nothing to load: no earlier load may show its image here.
        task_.reset();
        spinAninmationView_->stopAnimation();
        spinAninmationView_->setHidden(true);
        return;
    }
    spinAninmationView_->setHidden(false);
    spinAninmationView_->startAnimation();
    auto task = getImageTask(url_);
    task_ = task;
    std::weak_ptr<OVImageView> weak = std::static_pointer_cast<OVImageView>(shared_from_this());
    std::weak_ptr<GetImageTask> weakTask = task;
    task->continueWithHandler([weak, weakTask](std::optional<Image> image) {
        auto self = weak.lock();
        if (!self) return;
        self->deliver(weakTask.lock(), std::move(image));
    });
}

void OVImageView::deliver(const std::shared_ptr<GetImageTask>& task, std::optional<Image> image) {
    // A hand-over queued before its task was replaced is not shown.
    if (!task || task != task_) return;
    uiimageView_->setImage(std::move(image));
    uiimageView_->setAlpha(1);
    spinAninmationView_->setHidden(true);
    spinAninmationView_->stopAnimation();
}

}  // namespace orvane
