#include "orvane/playback/OVCacheIndex.hpp"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/core/FileManager.hpp"

namespace orvane {

using platform::core::FileManager;

namespace {

constexpr std::string_view kRootFolder = "orvane";
constexpr std::string_view kDownloadFolder = "download";

constexpr int kRoot = 0;
constexpr int kCache = 1;
constexpr int kDownload = 2;

// Ages (seconds) from which the age sweep can remove a file: more than 360
// whole minutes, or more than 120 for a file of 15 megabytes or more on disk.
// A second of margin keeps rounding on the safe side: the sweep decides.
constexpr double kAnyFileAge = 361 * 60.0 - 1.0;
constexpr double kBigFileAge = 121 * 60.0 - 1.0;
constexpr std::uint64_t kBigFileBytes = 15'000'000;

// Setting a file's access date alone is reported as an access, not as a
// change of attributes: reads are watched for that.
constexpr std::uint32_t kFolderEvents = IN_ACCESS | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE |
                                        IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kRootEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kWholeFolderGone = IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_Q_OVERFLOW;

double seconds(const timespec& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

// What a directory entry is, as the cache sees it.
enum class Kind { absent, regular, link, other };

Kind entryKind(const std::string& path, struct stat& info) {
    if (::lstat(path.c_str(), &info) != 0) return Kind::absent;
    if (S_ISREG(info.st_mode)) return Kind::regular;
    if (S_ISLNK(info.st_mode)) return Kind::link;
    return Kind::other;
}

bool readable(const std::string& path) { return ::access(path.c_str(), R_OK) == 0; }

// The earliest time at which the sweep may remove `file`; never for a file
// whose access date is unknown.
double expiryDate(const OVCacheIndex::CacheFile& file) {
    if (!std::isfinite(file.accessed)) return std::numeric_limits<double>::infinity();
    return file.accessed + (file.allocated >= kBigFileBytes ? kBigFileAge : kAnyFileAge);
}

}  // namespace

OVCacheIndex::OVCacheIndex(std::string kindFolder) : kindFolder_(std::move(kindFolder)), eventBuffer_(64 * 1024) {}

OVCacheIndex::~OVCacheIndex() {
    if (inotify_ >= 0) ::close(inotify_);
}

bool OVCacheIndex::refresh(bool createFolders) {
    std::lock_guard lock(mutex_);
    return refreshLocked(createFolders);
}

OVCacheIndex::Folders OVCacheIndex::folders() {
    std::lock_guard lock(mutex_);
    updateFoldersLocked();
    return folders_;
}

bool OVCacheIndex::updateFoldersLocked() {
    const auto generation = FileManager::documentsDirectoryGeneration();
    if (haveGeneration_ && generation == documentsGeneration_) return false;
    valid_ = false;
    std::string documents;
    try {
        documents = FileManager::documentsDirectory().native();
    } catch (...) {
        documents.clear();
    }
    documentsGeneration_ = generation;
    haveGeneration_ = true;
    if (documents.empty()) {
        root_.clear();
        folders_ = {};
    } else {
        root_ = documents + "/" + std::string(kRootFolder);
        folders_.cache = root_ + "/" + kindFolder_;
        folders_.download = folders_.cache + "/" + std::string(kDownloadFolder);
    }
    return true;
}

std::optional<bool> OVCacheIndex::holdsInCache(const std::string& fileName) {
    std::lock_guard lock(mutex_);
    if (!valid_ || unsureCache_.contains(fileName)) return std::nullopt;
    auto it = cacheFiles_.find(fileName);
    return it != cacheFiles_.end() && it->second.file.readable;
}

std::optional<bool> OVCacheIndex::holdsInDownloads(const std::string& fileName) {
    std::lock_guard lock(mutex_);
    if (!valid_ || unsureDownload_.contains(fileName)) return std::nullopt;
    return downloads_.contains(fileName);
}

bool OVCacheIndex::canHaveExpired(double now) {
    std::lock_guard lock(mutex_);
    if (!valid_) return true;
    if (accessPending_ > 0) settlePendingLocked();
    if (now < nextExpiry_) return false;
    // The earliest date may have moved later since it was taken.
    recomputeExpiryLocked();
    return !(now < nextExpiry_);
}

std::uint64_t OVCacheIndex::changeMark() {
    std::lock_guard lock(mutex_);
    return changes_;
}

void OVCacheIndex::replaceCacheListing(const std::string& folder, std::unordered_map<std::string, CacheFile> files,
                                       std::uint64_t mark) {
    std::lock_guard lock(mutex_);
    // Something applied since the listing began may be newer than it.
    if (!valid_ || folder != folders_.cache || mark != changes_) return;
    // Links stay with the disk.
    for (const auto& name : unsureCache_) files.erase(name);
    cacheFiles_.clear();
    cacheFiles_.reserve(files.size());
    for (auto& [name, file] : files) cacheFiles_.emplace(name, Entry{file, changes_, false});
    accessPending_ = 0;
    recomputeExpiryLocked();
    // Whatever changed while the sweep listed is still queued: it is applied
    // over the listing now.
    drainEventsLocked();
}

void OVCacheIndex::noteRead(const std::string& fileName, double accessed, std::uint64_t allocated,
                            std::uint64_t mark) {
    std::lock_guard lock(mutex_);
    auto it = cacheFiles_.find(fileName);
    // Learnt after the file was opened: newer than what the lookup saw.
    if (!valid_ || it == cacheFiles_.end() || it->second.learnt > mark) return;
    Entry& entry = it->second;
    entry.file.accessed = accessed;
    entry.file.allocated = allocated;
    if (entry.accessPending) {
        entry.accessPending = false;
        --accessPending_;
    }
    lowerExpiryLocked(entry.file);
}

bool OVCacheIndex::refreshLocked(bool createFolders) {
    if (updateFoldersLocked()) valid_ = false;
    if (valid_) drainEventsLocked();
    if (valid_) return true;
    return rebuildLocked(createFolders);
}

void OVCacheIndex::drainEventsLocked() {
    if (inotify_ < 0) {
        valid_ = false;
        return;
    }
    for (;;) {
        const ssize_t length = ::read(inotify_, eventBuffer_.data(), eventBuffer_.size());
        if (length < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN) valid_ = false;
            return;
        }
        if (length == 0) return;
        // The kernel hands over every queued event that fits: with room left
        // for the largest one, the queue was empty after this read.
        const bool drained =
            static_cast<std::size_t>(length) + sizeof(inotify_event) + NAME_MAX + 1 <= eventBuffer_.size();
        for (ssize_t offset = 0; offset < length;) {
            inotify_event event;
            std::memcpy(&event, eventBuffer_.data() + offset, sizeof event);
            const char* nameStart = eventBuffer_.data() + offset + sizeof(inotify_event);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
            if (!valid_) continue;  // the whole index is rebuilt anyway

            int which = -1;
            for (const auto& watch : watches_) {
                if (watch.descriptor == event.wd) which = watch.which;
            }
            if (event.mask & IN_Q_OVERFLOW) {
                valid_ = false;
                continue;
            }
            if (which < 0) continue;
            if (event.mask & kWholeFolderGone) {
                valid_ = false;
                continue;
            }
            const std::string name = event.len > 0 ? std::string(nameStart, ::strnlen(nameStart, event.len)) : "";
            if (which == kRoot) {
                if (name == kindFolder_) valid_ = false;
                continue;
            }
            // The folder's own attributes (its permissions decide what can be
            // read); its listing being read changes nothing.
            if (name.empty()) {
                if (event.mask & IN_ATTRIB) valid_ = false;
                continue;
            }
            // The download folder seen from the cache folder.
            if (which == kCache && name == kDownloadFolder) {
                if ((event.mask & ~IN_ISDIR) != IN_ACCESS) valid_ = false;
                continue;
            }
            ++changes_;
            if ((event.mask & ~IN_ISDIR) == IN_ACCESS) {
                // A read, or a new access date: only the cache folder's dates matter.
                if (which == kCache) accessReportedLocked(name);
            } else {
                restatLocked(which, name);
            }
        }
        if (drained) return;
    }
}

void OVCacheIndex::accessReportedLocked(const std::string& name) {
    auto it = cacheFiles_.find(name);
    if (it == cacheFiles_.end()) return restatLocked(kCache, name);
    Entry& entry = it->second;
    entry.learnt = changes_;
    if (!entry.accessPending) {
        entry.accessPending = true;
        ++accessPending_;
    }
}

void OVCacheIndex::settlePendingLocked() {
    std::vector<std::string> pending;
    pending.reserve(accessPending_);
    for (const auto& [name, entry] : cacheFiles_) {
        if (entry.accessPending) pending.push_back(name);
    }
    for (const auto& name : pending) restatAccessLocked(name);
}

void OVCacheIndex::setCacheFileLocked(const std::string& name, const CacheFile& file) {
    auto [it, inserted] = cacheFiles_.try_emplace(name);
    Entry& entry = it->second;
    if (entry.accessPending) --accessPending_;
    entry = Entry{file, changes_, false};
    lowerExpiryLocked(file);
}

void OVCacheIndex::eraseCacheFileLocked(const std::string& name) {
    auto it = cacheFiles_.find(name);
    if (it == cacheFiles_.end()) return;
    if (it->second.accessPending) --accessPending_;
    cacheFiles_.erase(it);
}

void OVCacheIndex::restatLocked(int which, const std::string& name) {
    if (which == kCache) {
        const std::string path = folders_.cache + "/" + name;
        struct stat info {};
        switch (entryKind(path, info)) {
            case Kind::regular:
                setCacheFileLocked(name, CacheFile{seconds(info.st_atim),
                                                   static_cast<std::uint64_t>(info.st_blocks) * 512u, readable(path)});
                unsureCache_.erase(name);
                break;
            case Kind::link:
                eraseCacheFileLocked(name);
                unsureCache_.insert(name);
                break;
            case Kind::absent:
            case Kind::other:
                eraseCacheFileLocked(name);
                unsureCache_.erase(name);
                break;
        }
    } else {
        const std::string path = folders_.download + "/" + name;
        struct stat info {};
        const Kind kind = entryKind(path, info);
        downloads_.erase(name);
        unsureDownload_.erase(name);
        if (kind == Kind::regular && readable(path)) downloads_.insert(name);
        if (kind == Kind::link) unsureDownload_.insert(name);
    }
}

void OVCacheIndex::restatAccessLocked(const std::string& name) {
    auto it = cacheFiles_.find(name);
    if (it == cacheFiles_.end()) return restatLocked(kCache, name);
    struct stat info {};
    if (::lstat((folders_.cache + "/" + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return restatLocked(kCache, name);
    }
    Entry& entry = it->second;
    entry.file.accessed = seconds(info.st_atim);
    entry.file.allocated = static_cast<std::uint64_t>(info.st_blocks) * 512u;
    entry.learnt = changes_;
    if (entry.accessPending) {
        entry.accessPending = false;
        --accessPending_;
    }
    lowerExpiryLocked(entry.file);
}

void OVCacheIndex::forgetLocked() {
    valid_ = false;
    if (inotify_ >= 0) ::close(inotify_);
    inotify_ = -1;
    watches_.clear();
    cacheFiles_.clear();
    downloads_.clear();
    unsureCache_.clear();
    unsureDownload_.clear();
    accessPending_ = 0;
    nextExpiry_ = -std::numeric_limits<double>::infinity();
}

bool OVCacheIndex::rebuildLocked(bool createFolders) {
    forgetLocked();
    updateFoldersLocked();
    const Folders paths = folders_;
    if (paths.cache.empty()) return false;
    // Without the folders there is nothing to watch (one question to the disk).
    if (!createFolders && ::access(paths.download.c_str(), F_OK) != 0) return false;
    if (createFolders) {
        if (!FileManager::createDirectory(paths.cache, true) || !FileManager::createDirectory(paths.download, true)) {
            return false;
        }
    }

    ++changes_;  // what is listed below is newer than any earlier mark
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) return false;
    // Watches first, listings second: whatever changes after a listing is in
    // the queue and is applied over it.
    const int root = ::inotify_add_watch(inotify_, root_.c_str(), kRootEvents);
    const int cache = ::inotify_add_watch(inotify_, paths.cache.c_str(), kFolderEvents);
    const int download = ::inotify_add_watch(inotify_, paths.download.c_str(), kFolderEvents);
    if (root < 0 || cache < 0 || download < 0) {
        forgetLocked();
        return false;
    }
    watches_ = {{root, kRoot}, {cache, kCache}, {download, kDownload}};

    for (const auto& [folder, which] : {std::pair{paths.cache, kCache}, std::pair{paths.download, kDownload}}) {
        std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
        if (!directory) {
            forgetLocked();
            return false;
        }
        while (const dirent* entry = ::readdir(directory.get())) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") continue;
            if (which == kCache && name == kDownloadFolder) continue;
            restatLocked(which, std::string(name));
        }
    }
    valid_ = true;
    recomputeExpiryLocked();
    return true;
}

void OVCacheIndex::lowerExpiryLocked(const CacheFile& file) {
    nextExpiry_ = std::min(nextExpiry_, expiryDate(file));
}

void OVCacheIndex::recomputeExpiryLocked() {
    double next = std::numeric_limits<double>::infinity();
    for (const auto& [name, entry] : cacheFiles_) next = std::min(next, expiryDate(entry.file));
    // Files the index is unsure of (links) are decided by the sweep: never.
    nextExpiry_ = next;
}

}  // namespace orvane
