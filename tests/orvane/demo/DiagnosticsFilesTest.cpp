#include <gtest/gtest.h>

#include <string>

#include "orvane/demo/FeedFromDisk.hpp"
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
