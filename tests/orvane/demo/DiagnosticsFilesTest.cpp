#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <thread>
#include <vector>

#include "orvane/demo/FeedFromDisk.hpp"
#include "orvane/demo/OVTextLog.hpp"
#include "platform/core/FileManager.hpp"
#include "support/TempDocuments.hpp"

using platform::core::FileManager;
using platform::core::Json;

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

TEST(FeedFromDisk, RoundTripsAndKeepsOnlyTheLastFeed) {
    testsupport::TempDocuments docs;
    orvane::FeedFromDisk store;
    EXPECT_FALSE(store.read());
    const Json first = {{"title", "Show"}, {"episodes", {1, 2.5, nullptr, true, "x"}}};
    store.write(first);
    EXPECT_EQ(orvane::FeedFromDisk().read(), first);
    const Json second = Json::array({Json::object({{"k", "v"}})});
    store.write(second);
    EXPECT_EQ(store.read(), second);
    EXPECT_EQ(readText(docs.path() / "feed.txt"), R"([{"k":"v"}])");
}

TEST(FeedFromDisk, RefusesWhatJsonCannotHoldAndReadsNothingFromBadFiles) {
    testsupport::TempDocuments docs;
    orvane::FeedFromDisk store;
    const Json kept = {{"kept", true}};
    store.write(kept);
    store.write(Json("bare string"));
    store.write(Json(42));
    store.write(Json{{"nan", std::nan("")}});
    store.write(Json{{"deep", {{"inf", std::numeric_limits<double>::infinity()}}}});
    store.write(Json{{"bad", std::string("\xff\xfe")}});
    EXPECT_EQ(store.read(), kept);

    for (const char* text : {"not json", "\"bare\"", "12", "{\"open\": "}) {
        ASSERT_TRUE(FileManager::writeFileAtomically(docs.path() / "feed.txt", std::string(text)));
        EXPECT_FALSE(store.read()) << text;
    }
}
