#include "platform/media/URLAsset.hpp"

namespace platform::media {

URLAsset::URLAsset(core::URL url) : url_(std::move(url)), resourceLoader_(ResourceLoader::create()) {}

std::shared_ptr<URLAsset> URLAsset::create(core::URL url) {
    return std::shared_ptr<URLAsset>(new URLAsset(std::move(url)));
}

std::shared_ptr<URLAsset> URLAsset::createWithData(core::Data bytes, std::optional<core::URL> url) {
    if (!url) url = core::URL::parse("memory://asset");
    auto asset = std::shared_ptr<URLAsset>(new URLAsset(std::move(*url)));
    asset->bytes_ = std::make_shared<const core::Data>(std::move(bytes));
    return asset;
}

}  // namespace platform::media
