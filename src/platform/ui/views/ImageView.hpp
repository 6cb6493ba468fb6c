// A view that shows an image placed by its content mode (scale to fill by
// default). A template image is drawn as a stencil in the view's tint colour.
// Takes no touches by default. Main thread only.
#pragma once

#include "platform/ui/views/View.hpp"

namespace platform::ui {

class ImageView : public View {
public:
    static std::shared_ptr<ImageView> create(const Rect& frame = {});
    static std::shared_ptr<ImageView> create(std::optional<Image> image);
    ImageView(ConstructorKey key, const Rect& frame);

    const std::optional<Image>& image() const { return image_; }
    void setImage(std::optional<Image> image);
    // The image's size in points (none without an image).
    Size intrinsicContentSize() const override;
    void sizeToFit();

    void tintColorDidChange() override;

    // Whether `image` is drawn as a stencil in the tint colour (a template).
    static bool drawsAsTemplate(const Image& image);

private:
    void updateContents();

    std::optional<Image> image_;
};

}  // namespace platform::ui
