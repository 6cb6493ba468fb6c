// The debug text log: appends, never wipes, never tears an entry.
#include "orvane/widget/OVTextLog.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/FileManager.hpp"
#include "support/TempDocuments.hpp"

using platform::core::FileManager;

namespace {
std::string readText(const std::filesystem::path& path) {
    auto bytes = FileManager::readFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}
}  // namespace

TEST(OVTextLog, AppendsWithoutSeparatorsAndCreatesTheFileOnlyWhenAbsent) {
    testsupport::TempDocuments docs;
    const auto log = docs.path() / "log.txt";
    testing::internal::CaptureStdout();
    orvane::OVTextLog::shared().write("ab");
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << "one error line for the missing file";
    orvane::OVTextLog::shared().write("cd");
    orvane::OVTextLog::shared().write("");
    orvane::OVTextLog::shared().write("é✓");
    EXPECT_EQ(readText(log), "abcdé✓");
}

TEST(OVTextLog, NeverWipesAnExistingLogThatCannotBeOpened) {
    if (geteuid() == 0) {
        // Root ignores file permissions; use a log that is a directory instead.
        testsupport::TempDocuments docs;
        ASSERT_TRUE(FileManager::createDirectory(docs.path() / "log.txt"));
        ASSERT_TRUE(FileManager::writeFileAtomically(docs.path() / "log.txt" / "keep", std::string("x")));
        testing::internal::CaptureStdout();
        orvane::OVTextLog::shared().write("text");
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(readText(docs.path() / "log.txt" / "keep"), "x");
        return;
    }
    testsupport::TempDocuments docs;
    const auto log = docs.path() / "log.txt";
    ASSERT_TRUE(FileManager::writeFileAtomically(log, std::string("earlier launch")));
    chmod(log.c_str(), 0444);
    testing::internal::CaptureStdout();
    orvane::OVTextLog::shared().write("lost");
    testing::internal::GetCapturedStdout();
    chmod(log.c_str(), 0644);
    EXPECT_EQ(readText(log), "earlier launch");
}

TEST(OVTextLog, ConcurrentWritersNeverInterleaveInsideOneText) {
    testsupport::TempDocuments docs;
    ASSERT_TRUE(FileManager::writeFileAtomically(docs.path() / "log.txt", std::string()));
    std::vector<std::thread> writers;
    for (char c = 'a'; c < 'a' + 8; ++c) {
        writers.emplace_back([c] {
            for (int i = 0; i < 50; ++i) orvane::OVTextLog::shared().write(std::string(300, c) + "\n");
        });
    }
    for (auto& w : writers) w.join();
    const std::string text = readText(docs.path() / "log.txt");
    ASSERT_EQ(text.size(), 8u * 50u * 301u);
    for (std::size_t i = 0; i < text.size(); i += 301) {
        EXPECT_EQ(text.substr(i, 300), std::string(300, text[i])) << "torn entry at " << i;
    }
}
