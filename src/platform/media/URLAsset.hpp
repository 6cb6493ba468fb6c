// A media asset: the resource a player item plays. Three kinds:
// - an address of a scheme the framework cannot load by itself (anything but
//   "file"): every read goes through the asset's resource loader;
// - a file address: the file is read directly;
// - bytes held in memory: played as they are, with no request at all.
//
// Created on the main queue; the resource loader may be used from any thread.
#pragma once

#include <memory>
#include <optional>

#include "platform/core/Json.hpp"
#include "platform/core/URL.hpp"
#include "platform/media/ResourceLoader.hpp"

namespace platform::media {

class URLAsset {
public:
    static std::shared_ptr<URLAsset> create(core::URL url);
    // An asset of bytes in memory; `url` only names it.
    static std::shared_ptr<URLAsset> createWithData(core::Data bytes, std::optional<core::URL> url = std::nullopt);

    const core::URL& url() const { return url_; }
    ResourceLoader& resourceLoader() { return *resourceLoader_; }
    const std::shared_ptr<ResourceLoader>& sharedResourceLoader() const { return resourceLoader_; }

    // The bytes of an in-memory asset (shared, never copied).
    const std::shared_ptr<const core::Data>& bytes() const { return bytes_; }
    // True when reads go through the resource loader.
    bool usesResourceLoader() const { return !bytes_ && !url_.isFileURL(); }

private:
    explicit URLAsset(core::URL url);

    core::URL url_;
    std::shared_ptr<ResourceLoader> resourceLoader_;
    std::shared_ptr<const core::Data> bytes_;
};

}  // namespace platform::media
