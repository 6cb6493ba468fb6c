#include "orvane/toolkit/OVDownloadTrackView.hpp"

#if __has_include("orvane/toolkit/OVGetAsset.hpp")
#include "orvane/toolkit/OVGetAsset.hpp"
#endif

namespace orvane {

using namespace platform::ui;

namespace {
constexpr double buttonSide = 30;
constexpr double ringSide = 25;

// The download icon in its own colours (not as a template), or none.
std::optional<Image> downloadIcon() {
#if __has_include("orvane/toolkit/OVGetAsset.hpp")
    auto image = OVGetAsset::downloadImage();
    if (image) return image->withRenderingMode(Image::RenderingMode::alwaysOriginal);
#endif
    return std::nullopt;
}

Rect centredSquare(const Rect& bounds, double side) {
    return Rect{bounds.midX() - side / 2, bounds.midY() - side / 2, side, side};
}
}  // namespace

std::shared_ptr<OVDownloadTrackView> OVDownloadTrackView::create(const Rect& frame) {
    auto view = std::make_shared<OVDownloadTrackView>(ConstructorKey{}, frame);
    view->initializeUI();
    return view;
}

OVDownloadTrackView::OVDownloadTrackView(ConstructorKey key, const Rect& frame) : View(key, frame) {}

void OVDownloadTrackView::initializeUI() {
    auto button = Button::create();
    auto ring = OVCircleProgressionView::create(Rect{});
    addSubview(button);
    addSubview(ring);
    button->setImage(downloadIcon(), ControlState::normal);
    button->addTarget(std::static_pointer_cast<OVDownloadTrackView>(shared_from_this()),
                      &OVDownloadTrackView::didTapDownload, ControlEvents::touchUpInside);
    downloadButton_ = button;
    progressionView_ = ring;
    layoutSubviews();
}

void OVDownloadTrackView::layoutSubviews() {
    if (auto button = downloadButton()) button->setFrame(centredSquare(bounds(), buttonSide));
    if (auto ring = progressionView()) ring->setFrame(centredSquare(bounds(), ringSide));
}

void OVDownloadTrackView::update(const OVTrack::DownloadStatus& status) {
    auto button = downloadButton();
    auto ring = progressionView();
    if (const auto* progress = std::get_if<OVTrack::InProgress>(&status)) {
        if (button) button->setHidden(true);
        if (ring) {
            ring->setHidden(false);
            ring->setValue(progress->value);
        }
    } else if (std::holds_alternative<OVTrack::NotDownloaded>(status)) {
        if (button) button->setHidden(false);
        if (ring) ring->setHidden(true);
    } else {
        if (button) button->setHidden(true);
        if (ring && !ring->circleAnimatinIsRunning()) ring->setHidden(true);
    }
}

void OVDownloadTrackView::didTapDownload(Button&) {
    if (auto ring = progressionView()) ring->displayDefaultCircle();
    if (didTapDownloadHandler_) didTapDownloadHandler_();
}

void OVDownloadTrackView::startFakeAnimation() {
    auto button = downloadButton();
    auto ring = progressionView();
    if (button) button->setHidden(true);
    if (!ring) return;
    ring->setHidden(false);
    auto self = std::static_pointer_cast<OVDownloadTrackView>(shared_from_this());
    ring->completeCircleAnimation(1.0, [self] {
        if (auto b = self->downloadButton()) b->setHidden(true);
        if (auto r = self->progressionView()) r->setHidden(true);
    });
}

}  // namespace orvane
