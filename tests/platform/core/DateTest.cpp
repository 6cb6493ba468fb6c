#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "platform/core/Date.hpp"

using namespace platform::core;

namespace {
void pinTimeZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
}
}  // namespace

TEST(Date, IsoFormatParsesZoneLetterAndOffsetsToTheSameInstant) {
    const auto z = parseISO8601Full("2024-03-05T10:20:30.250Z");
    const auto plus = parseISO8601Full("2024-03-05T12:20:30.250+02:00");
    const auto minus = parseISO8601Full("2024-03-05T05:50:30.250-04:30");
    ASSERT_TRUE(z && plus && minus);
    EXPECT_DOUBLE_EQ(z->timeIntervalSince1970, 1709634030.25);
    EXPECT_EQ(*z, *plus);
    EXPECT_EQ(*z, *minus);
    EXPECT_EQ(formatISO8601Full(*z), "2024-03-05T10:20:30.250Z");
    EXPECT_EQ(formatISO8601Full(Date{-0.5}), "1969-12-31T23:59:59.500Z");
    const auto leap = parseISO8601Full("2024-02-29T00:00:00.000Z");
    ASSERT_TRUE(leap);
    EXPECT_EQ(formatISO8601Full(*leap), "2024-02-29T00:00:00.000Z");
}

TEST(Date, IsoFormatIsStrict) {
    for (const char* text : {
             "2024-03-05T10:20:30Z",          // no fraction
             "2024-03-05T10:20:30.25Z",       // two fraction digits
             "2024-03-05T10:20:30.250",       // no zone
             "2024-03-05T10:20:30.250+0200",  // offset without colon
             "2024-03-05 10:20:30.250Z",      // blank instead of T
             "2023-02-29T10:20:30.250Z",      // no such day
             "2024-13-05T10:20:30.250Z",      // no such month
             "2024-03-05T24:00:00.000Z",      // hour out of range
             "2024-03-05T10:20:30.250Zjunk",  // trailing text
             "",
         }) {
        EXPECT_FALSE(parseISO8601Full(text)) << text;
    }
}

TEST(Date, DayFormatIsLocalMidnightAndRejectsOtherLayouts) {
    pinTimeZone("Europe/Paris");
    const auto day = parseLocalDay("2021-07-14");
    ASSERT_TRUE(day);
    EXPECT_DOUBLE_EQ(day->timeIntervalSince1970, 1626213600.0);  // 2021-07-13T22:00:00Z
    pinTimeZone("UTC");
    EXPECT_DOUBLE_EQ(parseLocalDay("2021-07-14")->timeIntervalSince1970, 1626220800.0);
    for (const char* text : {"14-07-2021", "2021/07/14", "2021-07-14T00:00", "2021-7-14", "2021-02-30", ""}) {
        EXPECT_FALSE(parseLocalDay(text)) << text;
    }
}

TEST(Date, WholeDaysBetweenCountsCalendarDaysAndRefusesTheFuture) {
    pinTimeZone("Europe/Paris");
    const Date now = *parseISO8601Full("2024-03-05T12:00:00.000Z");
    EXPECT_EQ(wholeDaysBetween(now.addingTimeInterval(-3600), now), 0);
    EXPECT_EQ(wholeDaysBetween(now.addingTimeInterval(-36 * 3600), now), 1);
    EXPECT_EQ(wholeDaysBetween(now.addingTimeInterval(-49 * 3600), now), 2);
    EXPECT_FALSE(wholeDaysBetween(now.addingTimeInterval(60), now));
    EXPECT_FALSE(wholeDaysBetween(now, now));
    // Times no calendar can hold have no day count (and no undefined conversion).
    EXPECT_FALSE(wholeDaysBetween(Date{-1e300}, now));
    EXPECT_FALSE(wholeDaysBetween(now, Date{1e300}));
    // Across the spring change of clocks (2024-03-31 in Paris) a calendar day
    // has 23 hours: noon to noon is still one day.
    const Date before = *parseISO8601Full("2024-03-30T11:00:00.000Z");
    const Date after = *parseISO8601Full("2024-03-31T10:00:00.000Z");
    EXPECT_EQ(wholeDaysBetween(before, after), 1);
}
