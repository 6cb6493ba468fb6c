#include "orvane/playback/OVCacheManager.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <system_error>
#include <vector>

#include <sys/uio.h>

#include "orvane/playback/OVCacheIndex.hpp"
#include "platform/core/Date.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/NoDestructor.hpp"

namespace orvane {

namespace fs = std::filesystem;
using platform::core::Data;
using platform::core::Date;
using platform::core::debugPrint;
using platform::core::FileManager;

namespace {

// ---- Entry format ----

constexpr std::array<char, 4> kMagic{'O', 'V', 'C', 'E'};
constexpr std::uint32_t kVersion = 1;
// magic, kind tag, version (u32), body length (u64)
constexpr std::size_t kHeaderSize = 4 + 4 + 4 + 8;

void appendLE(Data& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t readLE(const Data& in, std::size_t offset, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(in[offset + i]) << (8 * i);
    return value;
}

void appendHeader(Data& out, const std::array<char, 4>& tag, std::uint64_t bodyLength) {
    out.insert(out.end(), kMagic.begin(), kMagic.end());
    out.insert(out.end(), tag.begin(), tag.end());
    appendLE(out, kVersion, 4);
    appendLE(out, bodyLength, 8);
}

// ---- Debug output ----

// The text in double quotes with quotes, backslashes and control characters
// escaped, as a debug description of a string shows it.
std::string debugQuoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\'': out += "\\'"; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\0': out += "\\0"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                static constexpr char digits[] = "0123456789abcdef";
                const auto value = static_cast<unsigned char>(c);
                out += "\\u{";
                if (value >= 0x10) out += digits[value >> 4];
                out += digits[value & 0xf];
                out += "}";
            } else {
                out += c;
            }
        }
    }
    out += "\"";
    return out;
}

void printError(std::string_view action, const fs::path& path, const std::error_code& error) {
    debugPrint("Error " + std::string(action) + " " + debugQuoted(path.string()) + ": " + error.message() + " (" +
               error.category().name() + " " + std::to_string(error.value()) + ")");
}

void printFailure(std::string_view operation, std::string_view what) {
    debugPrint("Error in cache " + std::string(operation) + ": " + std::string(what));
}

// ---- Files ----

// A regular file (not a folder, link or device) directly in a cache folder.
bool isPlainFile(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::regular;
}

// Whether `path` names a regular file that can be opened for reading. Two
// system calls and no file opened: episodes ask this for every state the
// widget posts.
bool canRead(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 && S_ISREG(info.st_mode) && ::access(path, R_OK) == 0;
}

// `folder`/`name` as a plain string: building a std::filesystem::path would
// split it into components, which costs more than the check itself.
// The file of `name` in a kind's cache folder (or its download folder), or
// an empty string when there is no Documents directory.
std::string entryPath(std::string_view kindFolder, bool inDownloads, const std::string& name) {
    std::string path;
    try {
        path = FileManager::documentsDirectory().native();
    } catch (...) {
        return {};
    }
    if (path.empty()) return {};
    path += '/';
    path += OVCacheConstants::FolderName;
    path += '/';
    path += kindFolder;
    if (inDownloads) path += "/download";
    path += '/';
    path += name;
    return path;
}

std::int64_t wholeMegabytes(std::uint64_t bytes) {
    return static_cast<std::int64_t>(bytes / OVCacheConstants::BytesPerMo);
}

template <class Kind>
struct Read {
    OVCacheEntryState state = OVCacheEntryState::damaged;
    std::optional<typename Kind::Object> object;
    // What the open file said of itself, once marked as used: its access
    // date and allocated size (set when the file was opened).
    double accessed = std::numeric_limits<double>::quiet_NaN();
    std::uint64_t allocated = 0;
};

template <class Kind>
Read<Kind> readEntry(const fs::path& path) {
    auto bytes = FileManager::readFile(path);
    if (!bytes) return {};
    auto [state, object] = OVCacheManager<Kind>::unarchive(std::move(*bytes));
    return {state, std::move(object)};
}

// The index of a kind's folders: one per kind for the life of the process.
template <class Kind>
OVCacheIndex& indexOf() {
    static platform::core::NoDestructor<OVCacheIndex> index{std::string(Kind::folderName)};
    return *index;
}

// This thread's presence snapshots of a kind: how many are open, and whether
// the index was brought in step for the outermost one.
template <class Kind>
struct SnapshotState {
    int depth = 0;
    bool looked = false;
    bool indexed = false;
};

template <class Kind>
SnapshotState<Kind>& snapshotState() {
    thread_local SnapshotState<Kind> state;
    return state;
}

// Brings the index in step for a presence question: once per snapshot.
template <class Kind>
bool indexReadyForPresence() {
    auto& snapshot = snapshotState<Kind>();
    if (snapshot.depth > 0 && snapshot.looked) return snapshot.indexed;
    const bool indexed = indexOf<Kind>().refresh(false);
    if (snapshot.depth > 0) {
        snapshot.looked = true;
        snapshot.indexed = indexed;
    }
    return indexed;
}

// Checks an entry file's header: the state of an entry whose body is the
// rest of a file of `fileSize` bytes.
OVCacheEntryState checkHeader(const std::array<std::uint8_t, kHeaderSize>& header, std::uint64_t fileSize,
                              const std::array<char, 4>& tag) {
    const auto field = [&header](std::size_t offset, int bytes) {
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(header[offset + i]) << (8 * i);
        return value;
    };
    if (!std::equal(kMagic.begin(), kMagic.end(), header.begin()) || field(8, 4) != kVersion ||
        field(12, 8) != fileSize - kHeaderSize) {
        return OVCacheEntryState::damaged;
    }
    if (!std::equal(tag.begin(), tag.end(), header.begin() + 4)) return OVCacheEntryState::otherKind;
    return OVCacheEntryState::decoded;
}

struct Descriptor {
    int fd;
    explicit Descriptor(int value) : fd(value) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

// How a lookup marks the entry it decoded as used at `at`: always, or unless
// the file's access date is already within a second of it (then marking
// would change nothing the age sweep can tell).
enum class Touch { always, unlessFresh };

// Reads the entry file at `path` with one open and one read: the header and
// the body land in their own buffers, so the body is never moved. A decoded
// entry is marked as used at `at` (through the open file, so it is the file
// that was read).
template <class Kind>
Read<Kind> readEntryFile(const std::string& path, Date at, Touch touch) {
    Read<Kind> read;
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0) return read;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return read;
    read.accessed = static_cast<double>(info.st_atim.tv_sec) + static_cast<double>(info.st_atim.tv_nsec) / 1e9;
    read.allocated = static_cast<std::uint64_t>(info.st_blocks) * 512u;
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size < kHeaderSize) return read;
    std::array<std::uint8_t, kHeaderSize> header{};
    Data body(size - kHeaderSize);
    std::size_t done = 0;
    while (done < size) {
        iovec parts[2];
        int count = 0;
        if (done < kHeaderSize) {
            parts[count++] = {header.data() + done, kHeaderSize - done};
            if (!body.empty()) parts[count++] = {body.data(), body.size()};
        } else {
            parts[count++] = {body.data() + (done - kHeaderSize), size - done};
        }
        const ssize_t n = ::readv(file.fd, parts, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return read;  // unreadable, or shorter than it was a moment ago
        done += static_cast<std::size_t>(n);
    }
    read.state = checkHeader(header, size, Kind::tag);
    if (read.state != OVCacheEntryState::decoded) return read;
    read.object = Kind::decodeBody(std::move(body), 0);
    if (!read.object) {
        read.state = OVCacheEntryState::damaged;
        return read;
    }
    const double time = at.timeIntervalSince1970;
    const bool fresh = std::isfinite(read.accessed) && std::fabs(time - read.accessed) < 1.0;
    if ((touch == Touch::always || !fresh) && std::isfinite(time) && std::fabs(time) < 1e15) {
        const double seconds = std::floor(time);
        timespec times[2];
        times[0].tv_sec = static_cast<time_t>(seconds);
        times[0].tv_nsec = static_cast<long>((time - seconds) * 1e9);
        times[1].tv_sec = 0;
        times[1].tv_nsec = UTIME_OMIT;
        if (::futimens(file.fd, times) == 0) read.accessed = time;
    }
    return read;
}

// The age sweep of a kind, when a file of its cache folder can be old
// enough for it at `now`.
template <class Kind>
void sweepIfNeededAt(Date now) {
    if (indexOf<Kind>().canHaveExpired(now.timeIntervalSince1970)) OVCacheManager<Kind>::flush();
}

// Runs a public operation so that nothing escapes it.
template <class F, class R>
R guarded(std::string_view operation, R fallback, F&& body) {
    try {
        return body();
    } catch (const std::exception& error) {
        printFailure(operation, error.what());
    } catch (...) {
        printFailure(operation, "unknown error");
    }
    return fallback;
}

}  // namespace

// ---- Key to file name ----

std::string cacheFileName(std::string_view key) {
    if (key.empty()) return "%";
    if (key == ".") return "%2E";
    if (key == "..") return "%2E%2E";
    if (key == "download") return "%64ownload";
    if (key.find_first_of(std::string_view("/\\\0%", 4)) == std::string_view::npos) return std::string(key);
    std::string name;
    name.reserve(key.size());
    for (char c : key) {
        switch (c) {
        case '/': name += "%2F"; break;
        case '\\': name += "%5C"; break;
        case '\0': name += "%00"; break;
        case '%': name += "%25"; break;
        default: name += c;
        }
    }
    return name;
}

std::optional<std::string> cacheKey(std::string_view fileName) {
    if (fileName == "%") return std::string();
    if (fileName == "%2E") return std::string(".");
    if (fileName == "%2E%2E") return std::string("..");
    if (fileName == "%64ownload") return std::string("download");
    std::string key;
    key.reserve(fileName.size());
    for (std::size_t i = 0; i < fileName.size(); ++i) {
        const char c = fileName[i];
        if (c != '%') {
            if (c == '/' || c == '\\' || c == '\0') return std::nullopt;
            key += c;
            continue;
        }
        const auto escape = fileName.substr(i + 1, 2);
        if (escape == "2F") key += '/';
        else if (escape == "5C") key += '\\';
        else if (escape == "00") key += '\0';
        else if (escape == "25") key += '%';
        else return std::nullopt;
        i += 2;
    }
    if (key.empty() || key == "." || key == ".." || key == "download") return std::nullopt;
    return key;
}

// ---- Constants and folders ----

std::optional<fs::path> OVCacheConstants::DefaultFolder() {
    try {
        auto documents = FileManager::documentsDirectory();
        if (documents.empty()) return std::nullopt;
        return documents / FolderName;
    } catch (...) {
        return std::nullopt;
    }
}

// ---- Kinds ----

void ImageCacheKind::appendBody(const Object& object, Data& out) {
    appendLE(out, std::bit_cast<std::uint64_t>(object.scale()), 8);
    const auto original = object.originalData();
    out.insert(out.end(), original.begin(), original.end());
}

std::optional<ImageCacheKind::Object> ImageCacheKind::decodeBody(Data&& file, std::size_t offset) {
    if (file.size() < offset + 8) return std::nullopt;
    const double scale = std::bit_cast<double>(readLE(file, offset, 8));
    return platform::graphics::Image::fromData(std::span<const std::uint8_t>(file).subspan(offset + 8), scale);
}

void AudioCacheKind::appendBody(const Object& object, Data& out) { out.insert(out.end(), object.begin(), object.end()); }

std::optional<AudioCacheKind::Object> AudioCacheKind::decodeBody(Data&& file, std::size_t offset) {
    file.erase(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(offset));
    return std::move(file);
}

// ---- The cache ----

template <class Kind>
Data OVCacheManager<Kind>::archive(const Object& object) {
    Data body;
    Data file;
    if constexpr (std::is_same_v<Object, Data>) {
        file.reserve(kHeaderSize + object.size());
        appendHeader(file, Kind::tag, object.size());
        Kind::appendBody(object, file);
    } else {
        Kind::appendBody(object, body);
        file.reserve(kHeaderSize + body.size());
        appendHeader(file, Kind::tag, body.size());
        file.insert(file.end(), body.begin(), body.end());
    }
    return file;
}

template <class Kind>
std::pair<OVCacheEntryState, std::optional<typename OVCacheManager<Kind>::Object>>
OVCacheManager<Kind>::unarchive(Data&& file) {
    if (file.size() < kHeaderSize || !std::equal(kMagic.begin(), kMagic.end(), file.begin()) ||
        readLE(file, 8, 4) != kVersion || readLE(file, 12, 8) != file.size() - kHeaderSize) {
        return {OVCacheEntryState::damaged, std::nullopt};
    }
    if (!std::equal(Kind::tag.begin(), Kind::tag.end(), file.begin() + 4)) {
        return {OVCacheEntryState::otherKind, std::nullopt};
    }
    auto object = Kind::decodeBody(std::move(file), kHeaderSize);
    if (!object) return {OVCacheEntryState::damaged, std::nullopt};
    return {OVCacheEntryState::decoded, std::move(object)};
}

template <class Kind>
std::optional<fs::path> OVCacheManager<Kind>::subdirectory() {
    auto root = OVCacheConstants::DefaultFolder();
    if (!root) return std::nullopt;
    return *root / Kind::folderName;
}

template <class Kind>
std::optional<fs::path> OVCacheManager<Kind>::download() {
    auto folder = subdirectory();
    if (!folder) return std::nullopt;
    return *folder / "download";
}

template <class Kind>
bool OVCacheManager<Kind>::hasCacheFolders() {
    return guarded("folders", false, [] {
        // A valid index watches both folders: they exist.
        if (indexOf<Kind>().refresh(true)) return true;
        auto folder = subdirectory();
        auto downloads = download();
        if (!folder || !downloads) return false;
        return FileManager::createDirectory(*folder, true).has_value() &&
               FileManager::createDirectory(*downloads, true).has_value();
    });
}

template <class Kind>
OVCacheManager<Kind>::PresenceSnapshot::PresenceSnapshot() {
    ++snapshotState<Kind>().depth;
}

template <class Kind>
OVCacheManager<Kind>::PresenceSnapshot::~PresenceSnapshot() {
    auto& snapshot = snapshotState<Kind>();
    if (--snapshot.depth == 0) snapshot.looked = snapshot.indexed = false;
}

template <class Kind>
void OVCacheManager<Kind>::sweepIfNeeded() {
    sweepIfNeededAt<Kind>(Date::now());
}

template <class Kind>
std::optional<typename OVCacheManager<Kind>::Object> OVCacheManager<Kind>::find(std::string_view name) {
    return guarded("lookup", std::optional<Object>(), [name]() -> std::optional<Object> {
        if (!hasCacheFolders()) return std::nullopt;
        auto& index = indexOf<Kind>();
        const auto folders = index.folders();
        if (folders.cache.empty()) return std::nullopt;
        const auto file = fileName(name);
        const Date now = Date::now();
        std::optional<Object> result;

        // The disk is read only for a file the index holds (or cannot vouch for).
        Read<Kind> read;  // damaged: not there
        if (index.holdsInCache(file).value_or(true)) {
            // What the open file says of its dates settles what the index
            // learnt before it was opened (this lookup's own read and mark
            // of use come after, and are reported as pending).
            const auto mark = index.changeMark();
            read = readEntryFile<Kind>(folders.cache + "/" + file, now, Touch::unlessFresh);
            if (read.state == OVCacheEntryState::decoded) index.noteRead(file, read.accessed, read.allocated, mark);
        }
        if (read.state == OVCacheEntryState::decoded) {
            result = std::move(read.object);
        } else if (read.state == OVCacheEntryState::damaged && index.holdsInDownloads(file).value_or(true)) {
            auto fallback = readEntryFile<Kind>(folders.download + "/" + file, now, Touch::always);
            if (fallback.state == OVCacheEntryState::decoded) result = std::move(fallback.object);
        }
        // An entry of another kind in the cache folder answers none at once.

        sweepIfNeededAt<Kind>(now);
        return result;
    });
}

template <class Kind>
void OVCacheManager<Kind>::cache(const Object& object, std::string_view name) {
    guarded("store", 0, [&] {
        if (!hasCacheFolders()) return 0;
        const auto folders = indexOf<Kind>().folders();
        if (folders.cache.empty()) return 0;
        const fs::path path = folders.cache + "/" + fileName(name);
        if (auto written = FileManager::writeFileAtomically(path, archive(object)); !written) {
            printError("writing", path, written.error());
        }
        sweepIfNeeded();
        return 0;
    });
}

template <class Kind>
void OVCacheManager<Kind>::save(const Object& object, std::string_view name) {
    guarded("save", 0, [&] {
        if (find(name)) {
            moveToDownload(name);
            return 0;
        }
        if (auto downloads = download()) {
            const auto path = *downloads / fileName(name);
            if (auto written = FileManager::writeFileAtomically(path, archive(object)); !written) {
                printError("writing", path, written.error());
            }
        } else {
            printFailure("save", "no Documents directory");
        }
        flushDownload();
        return 0;
    });
}

template <class Kind>
bool OVCacheManager<Kind>::isInCache(std::string_view name) {
    return guarded("presence", false, [name] {
        const auto file = fileName(name);
        auto& index = indexOf<Kind>();
        if (indexReadyForPresence<Kind>()) {
            if (auto held = index.holdsInCache(file)) return *held;
        }
        const auto path = entryPath(Kind::folderName, false, file);
        return !path.empty() && canRead(path.c_str());
    });
}

template <class Kind>
bool OVCacheManager<Kind>::isDownloaded(std::string_view name) {
    return guarded("presence", false, [name] {
        const auto file = fileName(name);
        auto& index = indexOf<Kind>();
        if (indexReadyForPresence<Kind>()) {
            if (auto held = index.holdsInDownloads(file)) return *held;
        }
        const auto path = entryPath(Kind::folderName, true, file);
        return !path.empty() && canRead(path.c_str());
    });
}

template <class Kind>
void OVCacheManager<Kind>::moveToDownload(std::string_view name) {
    guarded("move", 0, [name] {
        auto folder = subdirectory();
        auto downloads = download();
        if (!folder || !downloads) {
            printFailure("move", "no Documents directory");
            return 0;
        }
        const auto from = *folder / fileName(name);
        if (auto moved = FileManager::moveItem(from, *downloads / fileName(name)); !moved) {
            printError("moving", from, moved.error());
        }
        return 0;
    });
}

template <class Kind>
void OVCacheManager<Kind>::flush() {
    guarded("age sweep", 0, [] {
        auto folder = subdirectory();
        if (!folder) return 0;
        // Walked with the folder's descriptor: one fstatat per entry gives
        // its type, access date and allocated size without building paths.
        DIR* directory = ::opendir(folder->c_str());
        if (directory == nullptr) return 0;
        std::unique_ptr<DIR, int (*)(DIR*)> closer(directory, ::closedir);
        const int fd = ::dirfd(directory);
        const Date now = Date::now();
        const auto mark = indexOf<Kind>().changeMark();
        std::unordered_map<std::string, OVCacheIndex::CacheFile> kept;
        while (const dirent* entry = ::readdir(directory)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") continue;
            // Only plain files are entries: the download folder and anything
            // else stays.
            struct stat info {};
            if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
            const Date accessed{static_cast<double>(info.st_atim.tv_sec) +
                                static_cast<double>(info.st_atim.tv_nsec) / 1e9};
            const auto allocated = static_cast<std::uint64_t>(info.st_blocks) * 512u;
            const double seconds = now.timeIntervalSince(accessed);
            if (!std::isfinite(seconds)) {
                kept.emplace(std::string(name), OVCacheIndex::CacheFile{std::nan(""), allocated,
                                                                        ::faccessat(fd, entry->d_name, R_OK, 0) == 0});
                continue;
            }
            const auto minutes = static_cast<std::int64_t>(seconds / 60.0);
            if (minutes > OVCacheConstants::OutdatedMinutes) {
                debugPrint(debugQuoted("delete item: ") + " " + debugQuoted(name));
                (void)::unlinkat(fd, entry->d_name, 0);
            } else if (wholeMegabytes(allocated) >= OVCacheConstants::BigFilesSizeMo &&
                       minutes > OVCacheConstants::OutdatedBigFiles) {
                (void)::unlinkat(fd, entry->d_name, 0);
            } else {
                kept.emplace(std::string(name),
                             OVCacheIndex::CacheFile{accessed.timeIntervalSince1970, allocated,
                                                     ::faccessat(fd, entry->d_name, R_OK, 0) == 0});
            }
        }
        indexOf<Kind>().replaceCacheListing(folder->native(), std::move(kept), mark);
        return 0;
    });
}

template <class Kind>
void OVCacheManager<Kind>::flushDownload() {
    guarded("size trim", 0, [] {
        auto folder = subdirectory();
        if (!folder) return 0;
        auto entries = FileManager::contentsOfDirectory(*folder);
        if (!entries) return 0;

        struct Entry {
            fs::path path;
            std::uint64_t size;
        };
        std::vector<Entry> files;
        std::int64_t total = 0;
        for (auto& path : *entries) {
            if (!isPlainFile(path)) continue;
            auto size = FileManager::fileSize(path);
            const std::uint64_t bytes = size ? *size : 0;
            total += wholeMegabytes(bytes);
            files.push_back({std::move(path), bytes});
        }
        if (total <= OVCacheConstants::MaximumSizeDownloadsMo) return 0;

        std::stable_sort(files.begin(), files.end(), [](const Entry& a, const Entry& b) { return a.size > b.size; });
        for (const auto& entry : files) {
            auto size = FileManager::fileSize(entry.path);
            if (!size) break;
            (void)FileManager::removeItem(entry.path);
            total -= wholeMegabytes(*size);
            if (total < OVCacheConstants::MaximumSizeDownloadsMo) break;
        }
        return 0;
    });
}

template class OVCacheManager<ImageCacheKind>;
template class OVCacheManager<AudioCacheKind>;

}  // namespace orvane
