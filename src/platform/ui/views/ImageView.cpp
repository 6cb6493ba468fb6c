#include "platform/ui/views/ImageView.hpp"

namespace platform::ui {

namespace {
// Whether the image asks to be drawn as a stencil in the tint colour (an
// image without a rendering mode never does).
template <class I>
bool isTemplate(const I& image) {
    if constexpr (requires { image.renderingMode() == I::RenderingMode::alwaysTemplate; }) {
        return image.renderingMode() == I::RenderingMode::alwaysTemplate;
    } else {
        return false;
    }
}
}  // namespace

bool ImageView::drawsAsTemplate(const Image& image) { return isTemplate(image); }

std::shared_ptr<ImageView> ImageView::create(const Rect& frame) {
    return std::make_shared<ImageView>(ConstructorKey{}, frame);
}

std::shared_ptr<ImageView> ImageView::create(std::optional<Image> image) {
    auto view = create(Rect{});
    view->setImage(std::move(image));
    view->sizeToFit();
    return view;
}

ImageView::ImageView(ConstructorKey key, const Rect& frame) : View(key, frame) {
    setUserInteractionEnabled(false);
}

void ImageView::setImage(std::optional<Image> image) {
    image_ = std::move(image);
    updateContents();
    invalidateIntrinsicContentSize();
}

Size ImageView::intrinsicContentSize() const { return image_ ? Size{image_->width(), image_->height()} : Size{}; }

void ImageView::sizeToFit() {
    Rect f = frame();
    f.size = intrinsicContentSize();
    setFrame(f);
}

void ImageView::tintColorDidChange() { updateContents(); }

void ImageView::updateContents() {
    layer()->setContents(image_);
    layer()->setContentsTintColor(image_ && isTemplate(*image_) ? std::optional<Color>(tintColor()) : std::nullopt);
}

}  // namespace platform::ui
