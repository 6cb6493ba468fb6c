#include "orvane/model/DateExtensions.hpp"
#include "orvane/model/IntExtensions.hpp"
#include "orvane/model/OVCallToAction.hpp"
#include "orvane/model/OVUser.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/widget/ColorExtensions.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/core/PlatformInfo.hpp"
#include "platform/core/RunLoop.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>

using namespace orvane;
using platform::core::Date;

TEST(HoursMinutesSeconds, Table) {
    const std::vector<std::pair<std::int64_t, std::string>> table = {
        {0, "0:00"},       {5, "0:05"},        {59, "0:59"},         {60, "1:00"},     {65, "1:05"},
        {600, "10:00"},    {3599, "59:59"},    {3600, "1:00:00"},    {3725, "1:02:05"}, {360000, "100:00:00"},
        {-65, "-1:05"},    {-5, "-0:05"},      {-3600, "-1:00:00"},
    };
    for (const auto& [seconds, text] : table) EXPECT_EQ(hoursMinutesSecondsString(seconds), text) << seconds;
}

TEST(HoursMinutesSeconds, ExtremeValuesDoNotOverflow) {
    EXPECT_EQ(hoursMinutesSecondsString(std::numeric_limits<std::int64_t>::max()), "2562047788015215:30:07");
    EXPECT_EQ(hoursMinutesSecondsString(std::numeric_limits<std::int64_t>::min()), "-2562047788015215:30:08");
}

TEST(StringHelpers, UrlAndLocalized) {
    EXPECT_TRUE(url("https://media.example.com/a/ep%2012.mp3").has_value());
    EXPECT_EQ(url("https://media.example.com/a/ep%2012.mp3")->lastPathComponent(), "ep 12.mp3");
    EXPECT_FALSE(url("").has_value());
    EXPECT_FALSE(url("https://media.example.com/with space.mp3").has_value());
    EXPECT_EQ(localized("A_KEY_THAT_IS_NOT_IN_THE_TABLE"), "A_KEY_THAT_IS_NOT_IN_THE_TABLE");
}

TEST(Enumerations, RawTextsAreExact) {
    EXPECT_EQ(fromRawValue<OVListType>("ÉPISODES"), OVListType::episode);
    EXPECT_EQ(fromRawValue<OVListType>("EPISODES"), std::nullopt);
    EXPECT_EQ(itemLabel(OVListType::chapitre), "Chapitre");
    EXPECT_EQ(moreItemsLabel(OVListType::episode), "Plus d'épisodes");
    EXPECT_EQ(headerLabel(OVListType::chapitre), "CHAPITRES");
    EXPECT_EQ(fromRawValue<OVAudioPlayerStatus>("loading"), OVAudioPlayerStatus::loading);
    EXPECT_EQ(fromRawValue<OVAudioPlayerStatus>("Playing"), std::nullopt);
    EXPECT_EQ(fromRawValue<OVDrawerState>("halfExpand"), OVDrawerState::halfExpand);
    EXPECT_EQ(rawValue(OVCtaType::podcastplatform), "podcastplatform");
    EXPECT_EQ(allCases<OVCtaType>().size(), 4u);
}

namespace {
class LocalZone : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        if (old) saved_ = old;
        setenv("TZ", "America/Sao_Paulo", 1);  // UTC-3 all year since 2019
        tzset();
    }
    void TearDown() override {
        if (saved_) setenv("TZ", saved_->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    std::optional<std::string> saved_;
};
}  // namespace

TEST_F(LocalZone, FromStringGivesLocalMidnight) {
    auto date = fromString("2019-08-05");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->timeIntervalSince1970, 1564974000.0);  // 2019-08-05T03:00:00Z
    EXPECT_FALSE(fromString("05-08-2019"));
    EXPECT_FALSE(fromString("2019/08/05"));
    EXPECT_FALSE(fromString("2019-08-05T10:00:00"));
}

TEST(DaysBeforeNow, WholeDaysOrNone) {
    auto clock = platform::core::RunLoop::main().useManualClock(1767225600.0);
    const Date now = Date::now();
    EXPECT_EQ(daysBeforeNow(now.addingTimeInterval(-3600)), 0);
    EXPECT_EQ(daysBeforeNow(now.addingTimeInterval(-36 * 3600)), 1);
    EXPECT_EQ(daysBeforeNow(now.addingTimeInterval(-49 * 3600)), 2);
    EXPECT_EQ(daysBeforeNow(now.addingTimeInterval(60)), std::nullopt);
    EXPECT_EQ(daysBeforeNow(now), std::nullopt);
}

TEST(ColorFromHex, Rules) {
    EXPECT_EQ(colorFromHex(std::nullopt), std::nullopt);
    auto exact = colorFromHex(std::string_view("#1A2B3C"));
    ASSERT_TRUE(exact);
    EXPECT_DOUBLE_EQ(exact->red, 0x1A / 255.0);
    EXPECT_DOUBLE_EQ(exact->green, 0x2B / 255.0);
    EXPECT_DOUBLE_EQ(exact->blue, 0x3C / 255.0);
    EXPECT_EQ(exact->alpha, 1.0);
    EXPECT_EQ(colorFromHex(std::string_view("  1a2b3c\n"), 0.5), (platform::graphics::Color{0x1A / 255.0, 0x2B / 255.0, 0x3C / 255.0, 0.5}));
    const platform::graphics::Color grey{0x99 / 255.0, 0x99 / 255.0, 0x99 / 255.0, 1.0};
    EXPECT_EQ(colorFromHex(std::string_view("red")), grey);
    EXPECT_EQ(colorFromHex(std::string_view("")), grey);
    EXPECT_EQ(colorFromHex(std::string_view("##1A2B3C")), grey);  // only one "#" is removed
    EXPECT_EQ(colorFromHex(std::string_view("1A2B3C4D")), grey);
    EXPECT_EQ(colorFromHex(std::string_view("ZZZZZZ")), grey);    // nothing readable
    // The scanner stops at the first character that is not a digit.
    EXPECT_EQ(colorFromHex(std::string_view("12ZZZZ")), (platform::graphics::Color{0, 0, 0x12 / 255.0, 1.0}));
}

TEST(UserRecord, AdvertisingIdentifierComesFromPlatformInfo) {
    EXPECT_EQ(OVUser().advertiserId, platform::core::PlatformInfo::zeroAdvertisingIdentifier);
    platform::core::PlatformInfo::setAdvertisingIdentifier("6D92078A-8246-4BA4-AE5B-76104861E7DC");
    OVUser user;
    EXPECT_EQ(user.platform, "iOS");
    EXPECT_EQ(user.identifier, std::nullopt);
    EXPECT_EQ(user.advertiserId, "6D92078A-8246-4BA4-AE5B-76104861E7DC");
}
