// The disk cache answers from its in-memory index: whatever happens to the
// files, through the cache or behind its back (another process included), the
// next question is answered as the disk has it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "orvane/playback/OVCacheIndex.hpp"
#include "orvane/playback/OVCacheManagerTestFixture.hpp"
#include "platform/core/DebugPrint.hpp"

using namespace orvane;
using platform::core::DebugCapture;
using platform::core::FileManager;
namespace fs = std::filesystem;

namespace {

constexpr double kMinute = 60.0;

// Writes `bytes` to a temporary file in `folder` and renames it over `name`,
// from a child process.
void replaceFromAnotherProcess(const fs::path& folder, const std::string& name, const platform::core::Data& bytes) {
    const std::string temporary = (folder / (name + ".other")).string();
    const std::string target = (folder / name).string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool written = fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        const bool closed = fd >= 0 && ::close(fd) == 0;
        ::_exit(written && closed && ::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace

TEST_F(OVCacheManagerTest, TheIndexAnswersAsTheDiskHasIt) {
    const auto first = bytes(2000, 1);
    const auto second = bytes(3000, 2);
    struct Expected {
        bool inCache;
        bool downloaded;
        std::optional<Data> found;
    };
    struct Case {
        std::string name;
        std::function<void()> change;
        Expected expected;
        std::string printed = {};
    };
    const std::vector<Case> cases = {
        {"written by the cache", [&] { OVAudioCache::cache(second, "a.mp3"); }, {true, false, second}},
        {"saved for good by the cache", [&] { OVAudioCache::save(second, "a.mp3"); }, {false, true, first}},
        {"aged past the limit as time passes",
         [&] {
             clock_->advance(362 * kMinute);
             (void)OVAudioCache::find("other.mp3");
         },
         {false, false, std::nullopt},
         "\"delete item: \" \"a.mp3\""},
        {"aged past the limit behind the cache's back",
         [&] {
             setAccessedMinutesAgo(audioFolder() / "a.mp3", 361);
             (void)OVAudioCache::find("other.mp3");
         },
         {false, false, std::nullopt},
         "\"delete item: \" \"a.mp3\""},
        {"big and aged behind the cache's back",
         [&] {
             writeRealFile(audioFolder() / "big.mp3", 15'000'000);
             setAccessedMinutesAgo(audioFolder() / "big.mp3", 121);
             EXPECT_TRUE(OVAudioCache::isInCache("big.mp3"));
             (void)OVAudioCache::find("other.mp3");
             EXPECT_FALSE(OVAudioCache::isInCache("big.mp3"));
         },
         {true, false, first}},
        {"trimmed after a new download",
         [&] {
             writeSparseFile(audioFolder() / "huge.mp3", 81'000'000);
             EXPECT_TRUE(OVAudioCache::isInCache("huge.mp3"));
             OVAudioCache::save(second, "new.mp3");
             EXPECT_FALSE(OVAudioCache::isInCache("huge.mp3"));
             EXPECT_TRUE(OVAudioCache::isDownloaded("new.mp3"));
         },
         {true, false, first}},
        {"deleted behind the cache's back", [&] { fs::remove(audioFolder() / "a.mp3"); }, {false, false, std::nullopt}},
        {"replaced by another process",
         [&] { replaceFromAnotherProcess(audioFolder(), "a.mp3", OVAudioCache::archive(second)); },
         {true, false, second}},
        {"damaged by another process",
         [&] { replaceFromAnotherProcess(audioFolder(), "a.mp3", Data{'n', 'o'}); },
         {true, false, std::nullopt}},
        {"put in the download folder by another process",
         [&] { replaceFromAnotherProcess(audioDownloads(), "a.mp3", OVAudioCache::archive(second)); },
         {true, true, first}},
        {"every folder removed",
         [&] { fs::remove_all(documentsPath() / "orvane"); },
         {false, false, std::nullopt}},
        {"folder replaced by another one",
         [&] {
             fs::rename(audioFolder(), documentsPath() / "elsewhere");
             fs::create_directories(audioDownloads());
             ASSERT_TRUE(FileManager::writeFileAtomically(audioDownloads() / "a.mp3", OVAudioCache::archive(second)));
         },
         {false, true, second}},
    };

    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::error_code ignored;
        clock_->set(std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count());
        fs::remove_all(documentsPath() / "orvane", ignored);
        fs::remove_all(documentsPath() / "elsewhere", ignored);
        // Known to the index before the change.
        OVAudioCache::cache(first, "a.mp3");
        ASSERT_TRUE(OVAudioCache::isInCache("a.mp3"));
        ASSERT_FALSE(OVAudioCache::isDownloaded("a.mp3"));
        ASSERT_EQ(OVAudioCache::find("a.mp3"), first);

        DebugCapture capture;
        test.change();
        EXPECT_EQ(OVAudioCache::isInCache("a.mp3"), test.expected.inCache);
        EXPECT_EQ(OVAudioCache::isDownloaded("a.mp3"), test.expected.downloaded);
        EXPECT_EQ(OVAudioCache::find("a.mp3"), test.expected.found);
        if (!test.printed.empty()) {
            EXPECT_TRUE(capture.contains(test.printed)) << testing::PrintToString(capture.lines());
        }
    }
}

// Many threads asking while others store and remove never see an entry that
// is not on disk once they have all finished.
TEST_F(OVCacheManagerTest, TheIndexAgreesWithTheDiskAfterConcurrentUse) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i) {
                const std::string name = "t" + std::to_string(t) + "-" + std::to_string(i % 5) + ".mp3";
                OVAudioCache::cache(Data(100, static_cast<std::uint8_t>(i)), name);
                (void)OVAudioCache::find(name);
                if (i % 3 == 0) fs::remove(audioFolder() / name);
                (void)OVAudioCache::isInCache(name);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < 4; ++t) {
        for (int i = 0; i < 5; ++i) {
            const std::string name = "t" + std::to_string(t) + "-" + std::to_string(i) + ".mp3";
            EXPECT_EQ(OVAudioCache::isInCache(name), exists(audioFolder() / name)) << name;
        }
    }
}

// Lookups that keep hitting one entry (each read and mark of use reported as
// an access) hold back neither the sweep of another entry when it is due nor
// their own entry's once they stop, and the other entry is not swept early.
TEST_F(OVCacheManagerTest, RepeatedHitsLeaveEveryOtherEntrysAgeAsTheDiskHasIt) {
    OVAudioCache::cache(bytes(100, 1), "played.mp3");
    OVAudioCache::cache(bytes(100, 2), "idle.mp3");
    setAccessedSecondsAgo(audioFolder() / "idle.mp3", 0);
    struct Step {
        double minutes;  // the clock moves on by this much, then the entry is looked up
        bool idleKept;
    };
    // "idle.mp3" was last used at 0; it goes once more than 360 whole
    // minutes have passed, and not a lookup earlier.
    const std::vector<Step> steps = {{100, true}, {100, true}, {100, true}, {60, true}, {0.9, true}, {0.2, false}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.minutes);
        clock_->advance(step.minutes * kMinute);
        for (int i = 0; i < 3; ++i) ASSERT_EQ(OVAudioCache::find("played.mp3"), bytes(100, 1));
        EXPECT_EQ(exists(audioFolder() / "idle.mp3"), step.idleKept);
    }
    EXPECT_TRUE(exists(audioFolder() / "played.mp3"));

    // Once no longer played, it ages too; a store sweeps as a lookup does.
    clock_->advance(362 * kMinute);
    OVAudioCache::cache(bytes(100, 3), "next.mp3");
    EXPECT_FALSE(exists(audioFolder() / "played.mp3"));
}

// What a lookup saw through its descriptor is not taken over when the index
// learnt of a newer change to the file meanwhile (a date set back by another
// process between the lookup's open and its report).
TEST_F(OVCacheManagerTest, ALookupsFindingsOlderThanWhatTheIndexLearntAreDropped) {
    OVAudioCache::cache(bytes(100, 1), "a.mp3");
    OVCacheIndex index("audio");
    ASSERT_TRUE(index.refresh(false));
    const double now = platform::core::Date::now().timeIntervalSince1970;
    ASSERT_FALSE(index.canHaveExpired(now));

    const auto mark = index.changeMark();
    setAccessedMinutesAgo(audioFolder() / "a.mp3", 400);
    ASSERT_TRUE(index.refresh(false));
    index.noteRead("a.mp3", now, 4096, mark);  // seen before the date was set back
    EXPECT_TRUE(index.canHaveExpired(now));

    // The same finding, made after everything the index learnt, is taken over.
    ASSERT_TRUE(index.refresh(false));
    (void)index.canHaveExpired(now);  // settles the pending date from the disk
    index.noteRead("a.mp3", now, 4096, index.changeMark());
    EXPECT_FALSE(index.canHaveExpired(now));
}
