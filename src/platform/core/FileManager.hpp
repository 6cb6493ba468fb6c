// Files and folders: the Documents directory and the file operations the
// component needs. Every operation reports failure as a std::error_code in a
// std::expected; nothing throws. Thread-safe (the Documents directory setting
// is guarded).
#pragma once

#include <chrono>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/core/Date.hpp"
#include "platform/core/Json.hpp"

namespace platform::core {

class FileManager {
public:
    using Path = std::filesystem::path;
    template <class T>
    using Result = std::expected<T, std::error_code>;

    // The application's Documents directory: set by the host (or a test);
    // defaults to "$XDG_DATA_HOME/orvane/Documents" (or
    // "~/.local/share/orvane/Documents"), created on first use.
    static Path documentsDirectory();
    static void setDocumentsDirectory(Path path);
    // Changes whenever `setDocumentsDirectory` is called: lets a cache of
    // paths under the Documents directory know it is stale without asking
    // for the path (cheap, lock-free).
    static std::uint64_t documentsDirectoryGeneration();

    static bool exists(const Path& path);
    static bool isDirectory(const Path& path);
    static bool isRegularFile(const Path& path);

    static Result<void> createDirectory(const Path& path, bool withIntermediateDirectories = true);
    // Entries of a folder (hidden ones included), full paths, sorted by name.
    static Result<std::vector<Path>> contentsOfDirectory(const Path& path);

    static Result<Data> readFile(const Path& path);
    // Writes to a temporary file beside `path`, flushes it and renames it into
    // place: a reader sees the old file or the whole new one, never part of it.
    static Result<void> writeFileAtomically(const Path& path, std::span<const std::uint8_t> bytes);
    static Result<void> writeFileAtomically(const Path& path, std::string_view bytes);
    // Appends to an existing file (never creates or truncates it). One call is
    // one write: concurrent appends do not interleave inside each other.
    static Result<void> appendToExistingFile(const Path& path, std::string_view bytes);

    // Renames `from` to `to`, replacing a file at `to`.
    static Result<void> moveItem(const Path& from, const Path& to);
    // Removes a file or a whole folder.
    static Result<void> removeItem(const Path& path);

    static Result<std::uint64_t> fileSize(const Path& path);
    // Bytes the file occupies on disk (allocated blocks).
    static Result<std::uint64_t> allocatedSize(const Path& path);
    static Result<Date> lastAccessDate(const Path& path);
    // Sets the access time (the modification time is left alone).
    static Result<void> setLastAccessDate(const Path& path, Date date);
    static Result<Date> modificationDate(const Path& path);
};

}  // namespace platform::core
