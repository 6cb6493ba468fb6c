// The disk cache of images and audio files under the Documents directory:
//
//   <Documents>/orvane/image            fetched images (entries kept by access age)
//   <Documents>/orvane/image/download   images kept for good
//   <Documents>/orvane/audio            fetched audio files
//   <Documents>/orvane/audio/download   audio files the listener downloaded
//
// An entry is one file named after the caller's key (the last path component
// of the remote address). Keys are turned into file names in one place,
// `fileName`: ordinary names are used as they are, anything that could leave
// the folder or name a special entry is escaped reversibly.
//
// An entry file is a small header (magic "OVCE", a four-character kind tag,
// a format version and the body length) followed by the kind's body: the
// image's scale and original encoded bytes, or the raw audio bytes, so the file
// size follows the size of the media. An entry with another kind's tag is not
// an object of this kind; a damaged entry is absent.
//
// Two rules keep the cache folder small, both run synchronously by the public
// operations: the age sweep (`flush`, after every lookup and store) removes
// regular files not accessed for more than 360 minutes (files of 15 megabytes
// or more on disk after 120 minutes) and prints "delete item: " for the
// former; the size trim (`flushDownload`, after a new entry is written to the
// download folder) removes the largest files of the cache folder until it holds
// less than 80 megabytes. A megabyte is 1,000,000 bytes, counted per file in
// whole megabytes. Neither rule touches the download folder or its files.
//
// A lookup that finds an entry marks the file as accessed now (`Date::now()`),
// since most mounts do not update access times on read (unless its access
// date is already within a second of now).
//
// The disk holds every entry and date; an index of the folders kept in memory
// (OVCacheIndex, in step with the disk through inotify) lets lookups, stores
// and presence questions skip the disk except for the file they read, and
// lets the age sweep run only when some file can be old enough for it.
//
// All operations are static, synchronous on the calling thread and callable
// from any thread. Concurrent sweeps may
// race to remove the same file: the loser's failure is ignored. Writes go to
// a temporary file renamed into place, so a reader never sees half an entry.
// Nothing throws: disk errors are printed with debugPrint and the cache stays
// usable.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/core/Json.hpp"
#include "platform/graphics/Image.hpp"

namespace orvane {

struct OVCacheConstants {
    static constexpr std::string_view FolderName = "orvane";
    // Whole minutes since the last access after which any file of a cache folder goes.
    static constexpr std::int64_t OutdatedMinutes = 360;
    // Whole minutes since the last access after which a big file goes.
    static constexpr std::int64_t OutdatedBigFiles = 120;
    // Allocated size, in whole megabytes, from which a file is big.
    static constexpr std::int64_t BigFilesSizeMo = 15;
    // Budget of a cache folder, in whole megabytes, enforced after a new download.
    static constexpr std::int64_t MaximumSizeDownloadsMo = 80;
    static constexpr std::uint64_t BytesPerMo = 1'000'000;

    // <Documents>/orvane; none when there is no Documents directory.
    static std::optional<std::filesystem::path> DefaultFolder();
};

// How an entry file came out of decoding.
enum class OVCacheEntryState { decoded, otherKind, damaged };

// Images: the body is the scale (IEEE double, little-endian) and the original
// encoded bytes.
struct ImageCacheKind {
    using Object = platform::graphics::Image;
    static constexpr std::string_view folderName = "image";
    static constexpr std::array<char, 4> tag{'I', 'M', 'A', 'G'};
    static void appendBody(const Object& object, platform::core::Data& out);
    static std::optional<Object> decodeBody(platform::core::Data&& file, std::size_t offset);
};

// Raw bytes (audio files): the body is the bytes themselves.
struct AudioCacheKind {
    using Object = platform::core::Data;
    static constexpr std::string_view folderName = "audio";
    static constexpr std::array<char, 4> tag{'D', 'A', 'T', 'A'};
    static void appendBody(const Object& object, platform::core::Data& out);
    static std::optional<Object> decodeBody(platform::core::Data&& file, std::size_t offset);
};

// The file name of the entry for `key`, the same in every folder and for every
// kind. Keys without "/", "\", NUL or "%" are kept as they are; those four
// characters are percent-escaped; "", ".", ".." and "download" (the download
// folder's own name) get escaped forms. Distinct keys give distinct names.
std::string cacheFileName(std::string_view key);
// The key a file name was made from; none for names `cacheFileName` never makes.
std::optional<std::string> cacheKey(std::string_view fileName);

template <class Kind>
class OVCacheManager {
public:
    using Object = typename Kind::Object;

    // The entry `name` from the cache folder, else from the download folder;
    // none when neither holds a readable entry of this kind. Creates the
    // folders and runs the age sweep.
    static std::optional<Object> find(std::string_view name);
    // Stores `object` as the entry `name` of the cache folder (replacing it),
    // then runs the age sweep.
    static void cache(const Object& object, std::string_view name);
    // Makes sure the entry `name` ends up in the download folder: an entry
    // found by `find` is moved there from the cache folder as it is (no trim);
    // otherwise `object` is written there and the size trim runs.
    static void save(const Object& object, std::string_view name);
    // Whether the cache folder (resp. the download folder) holds a readable
    // file for `name`. Creates nothing, decodes nothing, sweeps nothing.
    static bool isInCache(std::string_view name);
    static bool isDownloaded(std::string_view name);

    static std::optional<std::filesystem::path> subdirectory();
    static std::optional<std::filesystem::path> download();

    // While one lives on a thread, that thread's presence questions
    // (`isInCache`, `isDownloaded`) share one look at what changed on disk,
    // taken at the first of them, instead of one each: for the episodes of
    // one decoded state, which are one snapshot anyway. Nests.
    class PresenceSnapshot {
    public:
        PresenceSnapshot();
        ~PresenceSnapshot();
        PresenceSnapshot(const PresenceSnapshot&) = delete;
        PresenceSnapshot& operator=(const PresenceSnapshot&) = delete;
    };

    // ---- Internal to the cache (public for tests) ----
    // Creates the cache and download folders; true when both exist afterwards.
    static bool hasCacheFolders();
    // Age sweep of the cache folder.
    static void flush();
    // Size trim of the cache folder.
    static void flushDownload();
    // The age sweep, when a file of the cache folder can be old enough for it.
    static void sweepIfNeeded();
    // Moves the file of `name` from the cache folder to the download folder.
    static void moveToDownload(std::string_view name);
    // File name of the entry for `name` (see cacheFileName).
    static std::string fileName(std::string_view name) { return cacheFileName(name); }
    // The bytes of an entry file holding `object`, and back.
    static platform::core::Data archive(const Object& object);
    static std::pair<OVCacheEntryState, std::optional<Object>> unarchive(platform::core::Data&& file);
};

using OVImageCache = OVCacheManager<ImageCacheKind>;
using OVAudioCache = OVCacheManager<AudioCacheKind>;

extern template class OVCacheManager<ImageCacheKind>;
extern template class OVCacheManager<AudioCacheKind>;

}  // namespace orvane
