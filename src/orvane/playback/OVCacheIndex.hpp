// What one kind's cache folders hold, kept in memory so that lookups, stores
// and presence questions need not ask the disk about files they do not read:
// for the cache folder, every regular file with its access date and allocated
// size; for the download folder, the readable regular files.
//
// The disk stays the truth. The index watches both folders (and the folder
// above them) with inotify, and every question first reads what the kernel
// has queued about them: a file written, removed, renamed, replaced, read or
// given new dates by anyone, this process or another, is in the queue before the
// call that changed it returns, so the next question sees it. A file named in
// an event is looked at again on disk; an event about a folder itself (gone,
// moved), a lost event or a new Documents directory makes the index list both
// folders again. Where inotify is not available the index answers nothing and
// the cache asks the disk each time, as without an index.
//
// Reads and new access dates are reported alike (an access), and a lookup's
// own read raises one. So an access only marks the file's date as pending:
// presence does not depend on it, the lookup that reads the file next settles
// it from the descriptor it reads through (`noteRead`), and the age sweep's
// question settles whatever is still pending on disk first. A lookup that hits
// the same entry again therefore costs the index no look at the disk.
//
// The age sweep asks `canHaveExpired`: it is conservative (a second early, and
// it keeps the earliest date at which a file can be old enough, moving it
// later only when that date has passed) and the sweep itself still decides
// file by file on disk, then hands its listing back with `replaceCacheListing`.
//
// Owned by the disk cache, one per kind, never destroyed (background queues
// may ask while the process exits). Thread-safe: one lock, never held while
// calling out.
#pragma once

#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace orvane {

class OVCacheIndex {
public:
    // A regular file of the cache folder as the disk described it.
    struct CacheFile {
        double accessed = 0;          // seconds since 1970; NaN when unknown
        std::uint64_t allocated = 0;  // bytes on disk
        bool readable = false;
    };

    // The folders' paths as strings ("<Documents>/orvane/<kind>" and its
    // "download"), both empty when there is no Documents directory.
    struct Folders {
        std::string cache;
        std::string download;
    };

    explicit OVCacheIndex(std::string kindFolder);
    ~OVCacheIndex();
    OVCacheIndex(const OVCacheIndex&) = delete;
    OVCacheIndex& operator=(const OVCacheIndex&) = delete;

    // Brings the index in step with the disk. With `createFolders`, missing
    // folders are created first. True when the index may answer (both folders
    // exist and are watched); false when the caller must ask the disk.
    bool refresh(bool createFolders);

    // The folders for the current Documents directory.
    Folders folders();

    // Whether the cache (or download) folder holds a readable regular file
    // `fileName`; none when the index cannot answer.
    std::optional<bool> holdsInCache(const std::string& fileName);
    std::optional<bool> holdsInDownloads(const std::string& fileName);

    // Whether some file of the cache folder may be old enough for the age
    // sweep at `now` (true when the index cannot tell).
    bool canHaveExpired(double now);
    // A mark of what the index has learnt from the disk so far: taken before
    // a sweep lists the cache folder or a lookup opens a file, whose findings
    // are taken over only if nothing newer was learnt about them since.
    std::uint64_t changeMark();
    // The cache folder `folder` as a sweep has just seen it (regular files
    // only), listed after `mark` was taken.
    void replaceCacheListing(const std::string& folder, std::unordered_map<std::string, CacheFile> files,
                             std::uint64_t mark);
    // A lookup opened the cache folder's file `fileName` after `mark` was
    // taken and, through that descriptor, found it last accessed at
    // `accessed` (its own mark of use included) with `allocated` bytes.
    void noteRead(const std::string& fileName, double accessed, std::uint64_t allocated, std::uint64_t mark);

private:
    struct Watch {
        int descriptor = -1;
        int which = 0;  // 0 root, 1 cache folder, 2 download folder
    };

    // Follows a change of the Documents directory; true when it changed.
    bool updateFoldersLocked();
    bool refreshLocked(bool createFolders);
    void drainEventsLocked();
    bool rebuildLocked(bool createFolders);
    void forgetLocked();
    void restatLocked(int which, const std::string& name);
    // Only the access date and size of a known cache file may have changed.
    void restatAccessLocked(const std::string& name);
    // A read or a new access date was reported for the cache folder's file.
    void accessReportedLocked(const std::string& name);
    // Looks at the files whose access date is pending.
    void settlePendingLocked();
    void setCacheFileLocked(const std::string& name, const CacheFile& file);
    void eraseCacheFileLocked(const std::string& name);
    void lowerExpiryLocked(const CacheFile& file);
    void recomputeExpiryLocked();

    // A cache file as the index keeps it.
    struct Entry {
        CacheFile file;
        std::uint64_t learnt = 0;     // the change mark at which it was last learnt from the disk
        bool accessPending = false;  // an access was reported since
    };

    std::mutex mutex_;
    const std::string kindFolder_;
    int inotify_ = -1;
    bool valid_ = false;
    std::uint64_t changes_ = 0;  // events applied and rebuilds made
    // No file of the cache folder can be old enough for the sweep before
    // this time (minus infinity: not known).
    double nextExpiry_ = -std::numeric_limits<double>::infinity();
    std::size_t accessPending_ = 0;  // entries whose access date is pending
    std::uint64_t documentsGeneration_ = 0;
    bool haveGeneration_ = false;
    std::string root_;
    Folders folders_;
    std::vector<Watch> watches_;
    std::unordered_map<std::string, Entry> cacheFiles_;
    std::unordered_set<std::string> downloads_;
    // Names that are symbolic links: what they point at changes without an
    // event here, so the disk answers for them.
    std::unordered_set<std::string> unsureCache_;
    std::unordered_set<std::string> unsureDownload_;
    std::vector<char> eventBuffer_;
};

}  // namespace orvane
