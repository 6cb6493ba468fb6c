#include <gtest/gtest.h>

#include <set>

#include "orvane/playback/OVCacheManagerTestFixture.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/graphics/TestImages.hpp"

using namespace orvane;
using platform::core::Date;
using platform::core::DebugCapture;
using platform::core::FileManager;
namespace fs = std::filesystem;

constexpr double kMinute = 60.0;
constexpr std::uintmax_t kMB = 1'000'000;

// ---- Folders, round trip, lookup order ----

TEST_F(OVCacheManagerTest, LookupOfAnUnknownKeyCreatesTheKindsFoldersAndFindsNothing) {
    EXPECT_EQ(OVAudioCache::subdirectory(), audioFolder());
    EXPECT_EQ(OVAudioCache::download(), audioDownloads());
    EXPECT_EQ(OVImageCache::subdirectory(), imageFolder());
    EXPECT_EQ(OVImageCache::download(), imageDownloads());

    EXPECT_FALSE(OVAudioCache::find("missing.mp3"));
    EXPECT_TRUE(fs::is_directory(audioDownloads()));
    EXPECT_FALSE(exists(imageFolder()));  // audio calls touch only audio folders
    EXPECT_FALSE(OVAudioCache::isInCache("missing.mp3"));
    EXPECT_FALSE(OVAudioCache::isDownloaded("missing.mp3"));
}

TEST_F(OVCacheManagerTest, StoredBytesReadBackEqualAndTheFileSizeFollowsThePayload) {
    const auto audio = bytes(300'000, 9);
    OVAudioCache::cache(audio, "episode-12.mp3");
    const auto file = audioFolder() / "episode-12.mp3";  // ordinary names are kept on disk
    ASSERT_TRUE(exists(file));
    EXPECT_GE(fs::file_size(file), audio.size());
    EXPECT_LE(fs::file_size(file), audio.size() + 64);
    EXPECT_TRUE(OVAudioCache::isInCache("episode-12.mp3"));
    EXPECT_FALSE(OVAudioCache::isDownloaded("episode-12.mp3"));
    EXPECT_EQ(OVAudioCache::find("episode-12.mp3"), audio);

    // An empty payload is an entry too, and storing again replaces it.
    OVAudioCache::cache({}, "episode-12.mp3");
    EXPECT_EQ(OVAudioCache::find("episode-12.mp3"), Data{});
}

TEST_F(OVCacheManagerTest, LookupPrefersTheCacheFolderAndFallsBackToDownloadsOnlyForMissingOrDamagedEntries) {
    OVAudioCache::save(bytes(10, 1), "a.mp3");  // download folder
    OVAudioCache::cache(bytes(10, 2), "a.mp3");  // cache folder
    EXPECT_EQ(OVAudioCache::find("a.mp3"), bytes(10, 2));

    // Damaged cache copy: the download copy answers.
    ASSERT_TRUE(FileManager::writeFileAtomically(audioFolder() / "a.mp3", std::string_view("garbage")));
    EXPECT_EQ(OVAudioCache::find("a.mp3"), bytes(10, 1));

    // An entry of another kind in the cache folder is no audio, and the
    // download folder is not consulted.
    const auto gif = platform::graphics::Image::fromData(testimages::redPixelGif());
    ASSERT_TRUE(gif);
    ASSERT_TRUE(FileManager::writeFileAtomically(audioFolder() / "a.mp3", OVImageCache::archive(*gif)));
    EXPECT_FALSE(OVAudioCache::find("a.mp3"));
}

TEST_F(OVCacheManagerTest, DamagedEntriesReadAsAbsentAndTheCacheStaysUsable) {
    const auto good = OVAudioCache::archive(bytes(1000, 3));
    std::vector<Data> damaged;
    damaged.push_back({});                                            // empty file
    damaged.push_back(Data(good.begin(), good.begin() + 10));         // cut inside the header
    damaged.push_back(Data(good.begin(), good.end() - 1));            // cut inside the payload
    auto longer = good;
    longer.push_back(0);
    damaged.push_back(longer);                                        // trailing bytes
    auto badMagic = good;
    badMagic[0] ^= 0xff;
    damaged.push_back(badMagic);
    auto newerVersion = good;
    newerVersion[8] += 1;
    damaged.push_back(newerVersion);
    auto hugeLength = good;
    hugeLength[19] = 0xff;
    damaged.push_back(hugeLength);

    ASSERT_TRUE(OVAudioCache::hasCacheFolders());
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(FileManager::writeFileAtomically(audioFolder() / "x.mp3", damaged[i]));
        EXPECT_FALSE(OVAudioCache::find("x.mp3"));
        EXPECT_EQ(OVAudioCache::unarchive(Data(damaged[i])).first, OVCacheEntryState::damaged);
    }
    // An image entry whose encoded bytes are broken is damaged as well.
    auto image = platform::graphics::Image::fromData(testimages::redPixelGif());
    ASSERT_TRUE(image);
    auto brokenImage = OVImageCache::archive(*image);
    brokenImage[30] ^= 0xff;  // inside the GIF header
    EXPECT_EQ(OVImageCache::unarchive(std::move(brokenImage)).first, OVCacheEntryState::damaged);

    OVAudioCache::cache(bytes(1000, 3), "x.mp3");
    EXPECT_EQ(OVAudioCache::find("x.mp3"), bytes(1000, 3));
}

// ---- Age sweep ----

TEST_F(OVCacheManagerTest, AgeSweepRemovesFilesUnusedForMoreThan360MinutesWithADebugLine) {
    ASSERT_TRUE(OVAudioCache::hasCacheFolders());
    writeRealFile(audioFolder() / "kept.mp3", 1000);
    writeRealFile(audioFolder() / "old.mp3", 1000);
    writeRealFile(audioFolder() / "future.mp3", 1000);
    setAccessedSecondsAgo(audioFolder() / "kept.mp3", 360 * kMinute + 59);
    setAccessedMinutesAgo(audioFolder() / "old.mp3", 361);
    setAccessedMinutesAgo(audioFolder() / "future.mp3", -1000);

    DebugCapture capture;
    OVAudioCache::flush();
    EXPECT_TRUE(exists(audioFolder() / "kept.mp3"));
    EXPECT_TRUE(exists(audioFolder() / "future.mp3"));
    EXPECT_FALSE(exists(audioFolder() / "old.mp3"));
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"\"delete item: \" \"old.mp3\""});
}

TEST_F(OVCacheManagerTest, AgeSweepRemovesBigFilesAfter120MinutesSilently) {
    ASSERT_TRUE(OVAudioCache::hasCacheFolders());
    const auto big = audioFolder() / "big.mp3";
    const auto bigRecent = audioFolder() / "big-recent.mp3";
    const auto almost = audioFolder() / "almost-big.mp3";
    writeRealFile(big, 15'000'000);
    ASSERT_GE(*FileManager::allocatedSize(big), 15'000'000u);
    fs::copy_file(big, bigRecent);
    writeRealFile(almost, 14'900'000);
    ASSERT_LT(*FileManager::allocatedSize(almost), 15'000'000u);
    setAccessedMinutesAgo(big, 121);
    setAccessedSecondsAgo(bigRecent, 120 * kMinute + 59);
    setAccessedMinutesAgo(almost, 200);

    DebugCapture capture;
    OVAudioCache::flush();
    EXPECT_FALSE(exists(big));
    EXPECT_TRUE(exists(bigRecent));
    EXPECT_TRUE(exists(almost));
    EXPECT_TRUE(capture.lines().empty());
}

TEST_F(OVCacheManagerTest, AgeSweepLeavesTheDownloadFolderAndItsFilesAlone) {
    OVAudioCache::save(bytes(100), "kept-offline.mp3");
    writeRealFile(audioFolder() / "stale.mp3", 100);
    setAccessedMinutesAgo(audioFolder() / "stale.mp3", 10'000);
    setAccessedMinutesAgo(audioDownloads(), 10'000);
    setAccessedMinutesAgo(audioDownloads() / "kept-offline.mp3", 10'000);

    DebugCapture capture;
    EXPECT_FALSE(OVAudioCache::find("other.mp3"));  // a lookup sweeps
    EXPECT_FALSE(exists(audioFolder() / "stale.mp3"));
    EXPECT_TRUE(fs::is_directory(audioDownloads()));
    EXPECT_TRUE(OVAudioCache::isDownloaded("kept-offline.mp3"));
    EXPECT_EQ(capture.count("delete item"), 1u);
}

TEST_F(OVCacheManagerTest, StoringSweepsTheFolderOfItsKindOnly) {
    ASSERT_TRUE(OVAudioCache::hasCacheFolders());
    ASSERT_TRUE(OVImageCache::hasCacheFolders());
    writeRealFile(audioFolder() / "stale.mp3", 100);
    writeRealFile(imageFolder() / "stale.png", 100);
    setAccessedMinutesAgo(audioFolder() / "stale.mp3", 400);
    setAccessedMinutesAgo(imageFolder() / "stale.png", 400);
    OVAudioCache::cache(bytes(10), "new.mp3");
    EXPECT_FALSE(exists(audioFolder() / "stale.mp3"));
    EXPECT_TRUE(exists(imageFolder() / "stale.png"));
}

TEST_F(OVCacheManagerTest, ALookupThatFindsAnEntryMarksItAsUsedNow) {
    OVAudioCache::cache(bytes(10), "in-use.mp3");
    OVAudioCache::save(bytes(20), "offline.mp3");
    setAccessedMinutesAgo(audioFolder() / "in-use.mp3", 359);
    setAccessedMinutesAgo(audioDownloads() / "offline.mp3", 359);

    ASSERT_TRUE(OVAudioCache::find("in-use.mp3"));
    ASSERT_TRUE(OVAudioCache::find("offline.mp3"));
    EXPECT_NEAR(FileManager::lastAccessDate(audioFolder() / "in-use.mp3")->timeIntervalSince1970,
                Date::now().timeIntervalSince1970, 1.0);
    EXPECT_NEAR(FileManager::lastAccessDate(audioDownloads() / "offline.mp3")->timeIntervalSince1970,
                Date::now().timeIntervalSince1970, 1.0);

    // Without the touch the entry would now be 369 minutes old.
    clock_->advance(10 * kMinute);
    OVAudioCache::flush();
    EXPECT_TRUE(OVAudioCache::isInCache("in-use.mp3"));

    // Presence checks are not uses.
    clock_->advance(361 * kMinute);
    EXPECT_TRUE(OVAudioCache::isInCache("in-use.mp3"));
    OVAudioCache::flush();
    EXPECT_FALSE(OVAudioCache::isInCache("in-use.mp3"));
}

// ---- Size trim ----

TEST_F(OVCacheManagerTest, SavingANewEntryTrimsTheCacheFolderLargestFirstBelow80Megabytes) {
    ASSERT_TRUE(OVAudioCache::hasCacheFolders());
    writeSparseFile(audioFolder() / "41.mp3", 41 * kMB);
    writeSparseFile(audioFolder() / "40.mp3", 40 * kMB + 999'999);
    OVAudioCache::save(bytes(10), "new.mp3");
    EXPECT_FALSE(exists(audioFolder() / "41.mp3"));
    EXPECT_TRUE(exists(audioFolder() / "40.mp3"));
    EXPECT_TRUE(OVAudioCache::isDownloaded("new.mp3"));
}

TEST_F(OVCacheManagerTest, SizeTrimLeavesExactly80MegabytesAlone) {
    ASSERT_TRUE(OVAudioCache::hasCacheFolders());
    writeSparseFile(audioFolder() / "a.mp3", 40 * kMB);
    writeSparseFile(audioFolder() / "b.mp3", 40 * kMB + 999'999);
    OVAudioCache::save(bytes(10), "new.mp3");
    EXPECT_TRUE(exists(audioFolder() / "a.mp3"));
    EXPECT_TRUE(exists(audioFolder() / "b.mp3"));
}

TEST_F(OVCacheManagerTest, SizeTrimGoesOnWhenARemovalLeavesExactly80Megabytes) {
    ASSERT_TRUE(OVAudioCache::hasCacheFolders());
    writeSparseFile(audioFolder() / "45.mp3", 45 * kMB);
    writeSparseFile(audioFolder() / "40a.mp3", 40 * kMB);
    writeSparseFile(audioFolder() / "40b.mp3", 40 * kMB);
    OVAudioCache::flushDownload();
    EXPECT_FALSE(exists(audioFolder() / "45.mp3"));
    EXPECT_EQ(exists(audioFolder() / "40a.mp3") + exists(audioFolder() / "40b.mp3"), 1);
}

TEST_F(OVCacheManagerTest, SizeTrimCountsWholeMegabytesPerFile) {
    ASSERT_TRUE(OVAudioCache::hasCacheFolders());
    for (int i = 0; i < 100; ++i) writeSparseFile(audioFolder() / ("f" + std::to_string(i)), 999'999);
    OVAudioCache::flushDownload();
    EXPECT_EQ(std::distance(fs::directory_iterator(audioFolder()), fs::directory_iterator()), 101);  // + download
}

TEST_F(OVCacheManagerTest, SizeTrimNeverTouchesDownloadsAndStoringNeverTrims) {
    ASSERT_TRUE(OVAudioCache::hasCacheFolders());
    writeSparseFile(audioDownloads() / "huge-offline.mp3", 500 * kMB);
    OVAudioCache::save(bytes(10), "new.mp3");
    EXPECT_TRUE(exists(audioDownloads() / "huge-offline.mp3"));

    writeSparseFile(audioFolder() / "50.mp3", 50 * kMB);
    writeSparseFile(audioFolder() / "45.mp3", 45 * kMB);
    OVAudioCache::cache(bytes(10), "stored.mp3");
    EXPECT_TRUE(exists(audioFolder() / "50.mp3"));
    EXPECT_TRUE(exists(audioFolder() / "45.mp3"));
}

// ---- Keeping for offline listening ----

TEST_F(OVCacheManagerTest, SaveMovesACachedEntryAsItIsWithoutTrimming) {
    OVAudioCache::cache(bytes(100, 1), "ep.mp3");
    writeSparseFile(audioFolder() / "90.mp3", 90 * kMB);
    OVAudioCache::save(bytes(100, 2), "ep.mp3");
    EXPECT_FALSE(OVAudioCache::isInCache("ep.mp3"));
    EXPECT_TRUE(OVAudioCache::isDownloaded("ep.mp3"));
    EXPECT_EQ(OVAudioCache::find("ep.mp3"), bytes(100, 1));  // not rewritten
    EXPECT_TRUE(exists(audioFolder() / "90.mp3"));           // no trim
}

TEST_F(OVCacheManagerTest, SaveOfAnEntryAlreadyDownloadedReportsTheFailedMoveAndChangesNothing) {
    OVAudioCache::save(bytes(100, 1), "ep.mp3");
    writeSparseFile(audioFolder() / "90.mp3", 90 * kMB);
    DebugCapture capture;
    OVAudioCache::save(bytes(100, 2), "ep.mp3");
    EXPECT_EQ(capture.lines().size(), 1u);
    EXPECT_TRUE(OVAudioCache::isDownloaded("ep.mp3"));
    EXPECT_EQ(OVAudioCache::find("ep.mp3"), bytes(100, 1));
    EXPECT_TRUE(exists(audioFolder() / "90.mp3"));
}

// ---- Keys from remote addresses ----

TEST_F(OVCacheManagerTest, KeysMapToDistinctSafeFileNamesAndBack) {
    for (std::string_view ordinary : {"episode-12.mp3", "cover image.png", "...", ".hidden", "a.b.c", "Download",
                                      "épisode.mp3", "name?x=1"}) {
        EXPECT_EQ(cacheFileName(ordinary), ordinary);
    }
    const std::vector<std::string> keys{"", ".", "..", "download", "/", "\\", std::string(1, '\0'), "%", "%25",
                                        "%2F", "%2E", "%2E%2E", "%64ownload", "a/b", "a%2Fb", "a\\b", "../x",
                                        "..%2Fx", "x" + std::string(1, '\0') + "y", "%%", "%"};
    std::set<std::string> names;
    for (const auto& key : keys) {
        SCOPED_TRACE(key);
        const auto name = cacheFileName(key);
        EXPECT_FALSE(name.empty());
        EXPECT_NE(name, ".");
        EXPECT_NE(name, "..");
        EXPECT_NE(name, "download");
        EXPECT_EQ(name.find_first_of(std::string_view("/\\\0", 3)), std::string::npos);
        EXPECT_EQ(cacheKey(name), key);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), std::set<std::string>(keys.begin(), keys.end()).size());
    EXPECT_FALSE(cacheKey("a/b"));
    EXPECT_FALSE(cacheKey("%zz"));
    EXPECT_FALSE(cacheKey("download"));
}

TEST_F(OVCacheManagerTest, HostileKeysStayInsideTheCacheFolders) {
    const auto absolute = (root_ / "absolute.mp3").string();
    const std::vector<std::string> keys{"",       ".",        "..",        "download", "../escape.mp3",
                                        "../../../Documents-escape", absolute, "a/b/c.mp3",
                                        "..\\win.mp3", std::string("nul\0byte", 8), "%2E%2E", "%"};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        OVAudioCache::cache(bytes(50, static_cast<std::uint8_t>(i)), keys[i]);
        OVAudioCache::save(bytes(60, static_cast<std::uint8_t>(i)), keys[i] + "-kept");
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(OVAudioCache::isInCache(keys[i]));
        EXPECT_TRUE(OVAudioCache::isDownloaded(keys[i] + "-kept"));
        EXPECT_EQ(OVAudioCache::find(keys[i]), bytes(50, static_cast<std::uint8_t>(i)));
        EXPECT_EQ(OVAudioCache::find(keys[i] + "-kept"), bytes(60, static_cast<std::uint8_t>(i)));
    }
    EXPECT_TRUE(fs::is_directory(audioDownloads()));
    for (const auto& entry : fs::recursive_directory_iterator(root_)) {
        if (entry.is_directory()) continue;
        const auto parent = entry.path().parent_path();
        EXPECT_TRUE(parent == audioFolder() || parent == audioDownloads()) << entry.path();
    }
    EXPECT_FALSE(exists(absolute));
}

// ---- Disk errors ----

TEST_F(OVCacheManagerTest, DiskErrorsArePrintedAndLeaveTheCacheUsable) {
    const std::string tooLong(400, 'n');
    DebugCapture capture;
    OVAudioCache::cache(bytes(10), tooLong);
    EXPECT_EQ(capture.lines().size(), 1u);
    EXPECT_FALSE(OVAudioCache::find(tooLong));
    OVAudioCache::save(bytes(10), tooLong);
    EXPECT_EQ(capture.lines().size(), 2u);
    EXPECT_FALSE(OVAudioCache::isDownloaded(tooLong));

    OVAudioCache::cache(bytes(10), "fine.mp3");
    EXPECT_EQ(OVAudioCache::find("fine.mp3"), bytes(10));
}

TEST_F(OVCacheManagerTest, WithoutUsableFoldersNothingIsFoundAndNothingThrows) {
    const auto blocker = root_ / "not-a-folder";
    std::ofstream(blocker) << "file";
    FileManager::setDocumentsDirectory(blocker);
    EXPECT_FALSE(OVAudioCache::hasCacheFolders());
    DebugCapture capture;
    EXPECT_FALSE(OVAudioCache::find("a.mp3"));
    OVAudioCache::cache(bytes(10), "a.mp3");
    EXPECT_TRUE(capture.lines().empty());  // no folders: the store does nothing
    OVAudioCache::save(bytes(10), "a.mp3");
    EXPECT_EQ(capture.lines().size(), 1u);  // the failed write
    EXPECT_FALSE(OVAudioCache::isInCache("a.mp3"));
    EXPECT_FALSE(OVAudioCache::isDownloaded("a.mp3"));
    OVAudioCache::flush();
    OVAudioCache::flushDownload();
    EXPECT_TRUE(fs::is_regular_file(blocker));
}
