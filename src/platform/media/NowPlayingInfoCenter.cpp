#include "platform/media/NowPlayingInfoCenter.hpp"

#include "platform/core/NoDestructor.hpp"
#include "platform/media/MprisService.hpp"

namespace platform::media {

MediaItemArtwork::MediaItemArtwork(ArtworkSize boundsSize, RequestHandler requestHandler)
    : bounds_(boundsSize), handler_(std::move(requestHandler)) {}

MediaItemArtwork::MediaItemArtwork(graphics::Image image)
    : bounds_{image.width(), image.height()}, handler_([image](ArtworkSize) { return image; }) {}

graphics::Image MediaItemArtwork::imageWithSize(ArtworkSize size) const { return handler_(size); }

NowPlayingInfoCenter& NowPlayingInfoCenter::defaultCenter() {
    static core::NoDestructor<NowPlayingInfoCenter> center{std::in_place, [] { return NowPlayingInfoCenter(); }};
    return *center;
}

void NowPlayingInfoCenter::setNowPlayingInfo(std::optional<NowPlayingInfo> info) {
    ++assignments_;
    info_.set(std::move(info));
    MprisService::shared().nowPlayingInfoDidChange();
}

core::ObservationToken NowPlayingInfoCenter::observe(Observer observer) {
    return info_.observe([observer = std::move(observer)](const std::optional<NowPlayingInfo>& now,
                                                          const std::optional<NowPlayingInfo>&) { observer(now); });
}

std::optional<std::string> nowPlayingText(const NowPlayingInfo& info, std::string_view key) {
    const auto it = info.find(key);
    if (it == info.end()) return std::nullopt;
    if (const auto* text = std::get_if<std::string>(&it->second)) return *text;
    return std::nullopt;
}

std::optional<double> nowPlayingNumber(const NowPlayingInfo& info, std::string_view key) {
    const auto it = info.find(key);
    if (it == info.end()) return std::nullopt;
    if (const auto* number = std::get_if<double>(&it->second)) return *number;
    return std::nullopt;
}

const MediaItemArtwork* nowPlayingArtwork(const NowPlayingInfo& info) {
    const auto it = info.find(std::string_view(NowPlayingKey::artwork));
    return it == info.end() ? nullptr : std::get_if<MediaItemArtwork>(&it->second);
}

}  // namespace platform::media
