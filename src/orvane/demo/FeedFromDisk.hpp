// The feed file store: one JSON document in "feed.txt" in the Documents
// directory, replaced whole on every write and read back as a JSON value.
// Keeps no state; any number of stores share the one file. Runs synchronously
// on the caller's thread; every failure is silent.
#pragma once

#include <filesystem>
#include <optional>

#include "platform/core/Json.hpp"

namespace orvane {

class FeedFromDisk {
public:
    FeedFromDisk() = default;

    // "feed.txt" in the Documents directory.
    std::optional<std::filesystem::path> url() const;

    // Serialises `feed` compactly and replaces the file with it. Only a
    // top-level object or array of finite numbers is written; anything else
    // leaves the file as it was. The file is replaced atomically.
    void write(const platform::core::Json& feed) const;

    // The document in the file, or none when it is missing, unreadable, not
    // JSON, or not an object or array at the top level.
    std::optional<platform::core::Json> read() const;
};

}  // namespace orvane
