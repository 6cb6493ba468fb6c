#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "platform/core/FileManager.hpp"
#include "support/TempDocuments.hpp"

using platform::core::Date;
using platform::core::FileManager;

TEST(FileManager, AtomicWriteReplacesWholeFilesAndLeavesNoTemporaries) {
    testsupport::TempDocuments docs;
    const auto path = docs.path() / "entry";
    ASSERT_TRUE(FileManager::writeFileAtomically(path, std::string(100000, 'a')));
    // Readers racing with rewrites see one whole version or the other.
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done) {
            auto bytes = FileManager::readFile(path);
            if (!bytes) continue;
            const std::string text(bytes->begin(), bytes->end());
            const bool wholeA = text == std::string(100000, 'a');
            const bool wholeB = text == std::string(50000, 'b');
            if (!wholeA && !wholeB) ++torn;
        }
    });
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(FileManager::writeFileAtomically(path, i % 2 ? std::string(100000, 'a') : std::string(50000, 'b')));
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    auto entries = FileManager::contentsOfDirectory(docs.path());
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 1u);
}

TEST(FileManager, FailedWriteKeepsTheOldFile) {
    testsupport::TempDocuments docs;
    const auto path = docs.path() / "entry";
    ASSERT_TRUE(FileManager::writeFileAtomically(path, std::string("old")));
    // A file-size limit makes the write fail part-way, as a full disk would.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const auto result = FileManager::writeFileAtomically(path, std::string(5000, 'x'));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(result);
    auto bytes = FileManager::readFile(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "old");
    EXPECT_EQ(FileManager::contentsOfDirectory(docs.path())->size(), 1u);
}

TEST(FileManager, ListsHiddenEntriesAndReportsSizesAndDates) {
    testsupport::TempDocuments docs;
    ASSERT_TRUE(FileManager::createDirectory(docs.path() / "a" / "b"));
    ASSERT_TRUE(FileManager::writeFileAtomically(docs.path() / ".hidden", std::string(10, 'h')));
    ASSERT_TRUE(FileManager::writeFileAtomically(docs.path() / "data", std::string(8192, 'd')));
    auto entries = FileManager::contentsOfDirectory(docs.path());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ((*entries)[0].filename(), ".hidden");
    EXPECT_EQ(*FileManager::fileSize(docs.path() / "data"), 8192u);
    EXPECT_GE(*FileManager::allocatedSize(docs.path() / "data"), 8192u);

    const Date when{1700000000.25};
    ASSERT_TRUE(FileManager::setLastAccessDate(docs.path() / "data", when));
    EXPECT_NEAR(FileManager::lastAccessDate(docs.path() / "data")->timeIntervalSince1970, 1700000000.25, 1e-6);

    EXPECT_FALSE(FileManager::readFile(docs.path() / "missing"));
    EXPECT_FALSE(FileManager::readFile(docs.path() / "a"));
    EXPECT_FALSE(FileManager::contentsOfDirectory(docs.path() / "missing"));
    EXPECT_FALSE(FileManager::removeItem(docs.path() / "missing"));
    EXPECT_FALSE(FileManager::appendToExistingFile(docs.path() / "missing", "x"));
    EXPECT_FALSE(FileManager::exists(docs.path() / "missing"));
    ASSERT_TRUE(FileManager::moveItem(docs.path() / "data", docs.path() / "a" / "moved"));
    EXPECT_TRUE(FileManager::isRegularFile(docs.path() / "a" / "moved"));
    ASSERT_TRUE(FileManager::removeItem(docs.path() / "a"));
    EXPECT_FALSE(FileManager::exists(docs.path() / "a"));
}
