#include "orvane/model/Decoding.hpp"
#include "orvane/model/OVContent.hpp"
#include "orvane/widget/OVPlayer.hpp"
#include "orvane/widget/OVState.hpp"
#include "platform/core/DebugPrint.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

using namespace orvane;
using platform::core::DebugCapture;
using platform::core::Json;

TEST(DecodeValue, BodiesThatAreNotObjectsGiveNoneSilently) {
    DebugCapture capture;
    for (const Json& body : {Json::array({1, 2}), Json("text"), Json(3), Json(nullptr), Json(true)}) {
        EXPECT_FALSE(decodeValue<OVState>(body).has_value()) << body.dump();
        EXPECT_FALSE(decodeValue<OVState>(body, true).has_value());
    }
    EXPECT_TRUE(capture.lines().empty());
}

TEST(DecodeValue, FailurePrintsOneLineWithTheKeyPathAndGivesNone) {
    DebugCapture capture;
    Json body = {{"contents", {{"c1", {{"key", "c1"}}}, {"c2", {{"title", "no key"}}}}}};
    EXPECT_FALSE(decodeValue<OVState>(body).has_value());
    ASSERT_EQ(capture.lines().size(), 1u);
    const std::string line = capture.lines()[0];
    EXPECT_NE(line.find("keyNotFound"), std::string::npos) << line;
    EXPECT_NE(line.find("contents.c2.key"), std::string::npos) << line;
}

// Members are found, or reported missing, in objects of every size: those a
// record scans and those too large to scan.
TEST(DecodeValue, MembersAreFoundInObjectsOfEverySize) {
    DebugCapture capture;
    for (const std::size_t others : {0u, 1u, 22u, 23u, 24u, 60u}) {
        Json body = Json::object();
        for (std::size_t i = 0; i < others; ++i) body["other" + std::to_string(i)] = i;
        body["locationKey"] = "l1";
        EXPECT_EQ(decodeValue<OVPlayer>(body)->locationKey, "l1") << others;
        body.erase("locationKey");
        body["locationKeys"] = "longer key";
        body["locationKe"] = "shorter key";
        const auto player = decodeValue<OVPlayer>(body);
        ASSERT_TRUE(player.has_value()) << others;
        EXPECT_EQ(player->locationKey, std::nullopt) << others;
        body["playingStatus"] = "nonsense";
        EXPECT_FALSE(decodeValue<OVPlayer>(body).has_value()) << others;
    }
    EXPECT_EQ(capture.lines().size(), 6u);
}

TEST(DecodeValue, AsDictionnaryHasNoEffect) {
    Json body = {{"player", {{"locationKey", "l1"}, {"playingStatus", "loading"}}}};
    auto a = decodeValue<OVState>(body, false);
    auto b = decodeValue<OVState>(body, true);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->player->locationKey, b->player->locationKey);
    EXPECT_EQ(b->audioPlayerStatus(), OVAudioPlayerStatus::loading);
}

TEST(DecodeValue, NonFiniteNumbersAreRefusedAnywhereInTheBody) {
    DebugCapture capture;
    // A non-finite number cannot be written as JSON: the body is refused even
    // where no record reads it, and a duration never takes such a value.
    Json ignored = {{"unrelated", std::numeric_limits<double>::quiet_NaN()}};
    EXPECT_FALSE(decodeValue<OVState>(ignored).has_value());
    Json duration = {{"key", "c"},
                     {"tracks",
                      Json::array({{{"key", "t"},
                                    {"title", "t"},
                                    {"episode", std::numeric_limits<double>::infinity()},
                                    {"publicationDate", nullptr},
                                    {"selected", false},
                                    {"audio", {{"trackDuration", std::numeric_limits<double>::infinity()}}}}})}};
    EXPECT_FALSE(decodeValue<OVContent>(duration).has_value());
    EXPECT_EQ(capture.lines().size(), 2u);
    // Decoding such a value directly fails as a corrupted number instead of converting it.
    try {
        decoding::Decoder<std::int64_t>::decode(Json(std::numeric_limits<double>::infinity()));
        ADD_FAILURE();
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted);
    }
    EXPECT_THROW(decoding::Decoder<double>::decode(Json(std::nan(""))), DecodingError);
    EXPECT_THROW(decoding::Decoder<std::int64_t>::decode(Json(9.3e18)), DecodingError);
    EXPECT_THROW(decoding::Decoder<std::int64_t>::decode(Json(std::uint64_t{1} << 63)), DecodingError);
    EXPECT_EQ(decoding::Decoder<std::int64_t>::decode(Json(-9223372036854775807LL - 1)),
              std::numeric_limits<std::int64_t>::min());
}

TEST(DecodeValue, DeeplyNestedIgnoredValuesDoNotExhaustTheStack) {
    std::string text = "{\"deep\":";
    for (int i = 0; i < 100000; ++i) text += '[';
    for (int i = 0; i < 100000; ++i) text += ']';
    text += "}";
    Json body = Json::parse(text);
    auto state = decodeValue<OVState>(body);
    EXPECT_TRUE(state.has_value());
}

TEST(DecodeValue, ConcurrentDecodingsAgree) {
    Json body = {{"contents",
                  {{"c1",
                    {{"key", "c1"},
                     {"tracks", Json::array({{{"key", "t1"},
                                              {"title", "T"},
                                              {"episode", 1},
                                              {"publicationDate", "2024-01-01T00:00:00.000+01:00"},
                                              {"selected", true},
                                              {"audio", {{"trackDuration", 5}}}}})}}}}},
                 {"locations", {{"l1", {{"content", {{"key", "c1"}, {"loading", false}}}, {"track", {{"key", "t1"}}}}}}},
                 {"player", {{"locationKey", "l1"}}}};
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            for (int n = 0; n < 200; ++n) {
                auto state = decodeValue<OVState>(body);
                if (state && state->currentTrack() && state->currentTrack()->publicationDate() &&
                    state->currentTrack()->publicationDate()->timeIntervalSince1970 == 1704063600.0) {
                    ++good;
                }
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(good.load(), 1600);
}

TEST(DecodeData, InvalidJSONIsAnErrorAndNothingIsPrinted) {
    DebugCapture capture;
    std::string text = "{not json";
    auto result = decodeData<OVContent>(platform::core::Data(text.begin(), text.end()));
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().kind(), DecodingError::Kind::dataCorrupted);
    std::string missing = "{\"title\":\"x\"}";
    auto noKey = decodeData<OVContent>(platform::core::Data(missing.begin(), missing.end()));
    ASSERT_FALSE(noKey.has_value());
    EXPECT_EQ(noKey.error().kind(), DecodingError::Kind::keyNotFound);
    EXPECT_TRUE(capture.lines().empty());
}

TEST(DecodeData, DatesUseTheDefaultNumericForm) {
    // With default settings a date is a number of seconds since 2001-01-01 GMT;
    // ISO texts are refused.
    std::string numeric =
        R"({"key":"t","title":"T","episode":null,"publicationDate":0,"selected":false,"audio":{}})";
    auto track = decodeData<std::shared_ptr<OVTrack>>(platform::core::Data(numeric.begin(), numeric.end()));
    ASSERT_TRUE(track.has_value());
    EXPECT_EQ((*track)->publicationDate()->timeIntervalSince1970, 978307200.0);
    std::string text =
        R"({"key":"t","title":"T","episode":null,"publicationDate":"2024-01-01T00:00:00.000Z","selected":false,"audio":{}})";
    auto refused = decodeData<std::shared_ptr<OVTrack>>(platform::core::Data(text.begin(), text.end()));
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().kind(), DecodingError::Kind::typeMismatch);
    // The calling thread's strategy is restored afterwards.
    EXPECT_EQ(currentDateDecodingStrategy(), DateDecodingStrategy::iso8601Full);
}
