#include "orvane/demo/FeedFromDisk.hpp"

#include <cmath>

#include "platform/core/FileManager.hpp"

namespace orvane {

using platform::core::FileManager;
using platform::core::Json;

namespace {

// JSON text cannot hold NaN or infinities: the serialiser would write "null"
// in their place and silently change the document.
bool isSerialisable(const Json& value) {
    switch (value.type()) {
        case Json::value_t::number_float:
            return std::isfinite(value.get<double>());
        case Json::value_t::object:
        case Json::value_t::array:
            for (const auto& item : value)
                if (!isSerialisable(item)) return false;
            return true;
        case Json::value_t::binary:
        case Json::value_t::discarded:
            return false;
        default:
            return true;
    }
}

}  // namespace

std::optional<std::filesystem::path> FeedFromDisk::url() const {
    return FileManager::documentsDirectory() / "feed.txt";
}

void FeedFromDisk::write(const Json& feed) const {
    const auto path = url();
    if (!path) return;
    if (!(feed.is_object() || feed.is_array()) || !isSerialisable(feed)) return;
    std::string text;
    try {
        text = feed.dump();  // throws on invalid UTF-8 in strings
    } catch (const Json::exception&) {
        return;
    }
    (void)FileManager::writeFileAtomically(*path, text);
}

std::optional<Json> FeedFromDisk::read() const {
    const auto path = url();
    if (!path) return std::nullopt;
    auto bytes = FileManager::readFile(*path);
    if (!bytes) return std::nullopt;
    Json value = Json::parse(bytes->begin(), bytes->end(), nullptr, /*allow_exceptions=*/false);
    if (value.is_discarded() || !(value.is_object() || value.is_array())) return std::nullopt;
    return value;
}

}  // namespace orvane
