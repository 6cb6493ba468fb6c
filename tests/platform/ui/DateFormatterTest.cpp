// Dates by skeleton in a pinned locale and zone, upper-cased by the locale's
// rules. The expected texts are built from ICU's own best pattern for the
// skeleton and its own month names, never written out by hand.
#include <gtest/gtest.h>

#include <unicode/dtfmtsym.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>

#include <limits>
#include <memory>
#include <string>

#include "platform/core/Date.hpp"
#include "platform/ui/text/DateFormatter.hpp"
#include "platform/ui/text/Locale.hpp"
#include "platform/ui/text/TimeZone.hpp"

namespace {

using namespace platform::ui;
using platform::core::Date;

std::string icuBestPattern(const char* skeleton, const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icu::Locale(locale), status));
    EXPECT_TRUE(U_SUCCESS(status));
    std::string pattern;
    generator->getBestPattern(icu::UnicodeString(skeleton), status).toUTF8String(pattern);
    EXPECT_TRUE(U_SUCCESS(status));
    return pattern;
}

std::string icuMonthName(int month, const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    icu::DateFormatSymbols symbols(icu::Locale(locale), status);
    int32_t count = 0;
    const icu::UnicodeString* months =
        symbols.getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    std::string name;
    months[month - 1].toUTF8String(name);
    return name;
}

// `pattern` with its "dd" and "MMMM" fields replaced and its quoted literals
// unquoted: what a pattern of only those fields shows.
std::string fill(const std::string& pattern, const std::string& day, const std::string& month) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\'') {
            quoted = !quoted;
        } else if (!quoted && pattern.compare(i, 4, "MMMM") == 0) {
            out += month;
            i += 3;
        } else if (!quoted && pattern.compare(i, 2, "dd") == 0) {
            out += day;
            i += 1;
        } else {
            out += c;
        }
    }
    return out;
}

// 2024-08-15 12:00 UTC.
constexpr Date august15{1723723200};

struct PinnedLocale {
    PinnedLocale(const char* locale, const char* zone) {
        Locale::setCurrent(Locale{locale});
        TimeZone::setCurrent(TimeZone{zone});
    }
    ~PinnedLocale() {
        Locale::setCurrent(std::nullopt);
        TimeZone::setCurrent(std::nullopt);
    }
};

TEST(DateFormatter, DayAndMonthBySkeletonUpperCasedInTheLocale) {
    for (const char* locale : {"fr_FR", "en_US", "de_DE"}) {
        SCOPED_TRACE(locale);
        PinnedLocale pinned(locale, "Europe/Paris");
        DateFormatter formatter;
        EXPECT_EQ(formatter.locale().identifier, locale);
        formatter.setLocalizedDateFormatFromTemplate("ddMMMM");
        const std::string pattern = icuBestPattern("ddMMMM", locale);
        EXPECT_EQ(formatter.dateFormat(), pattern);
        const std::string shown = uppercased(formatter.string(august15));
        EXPECT_EQ(shown, fill(pattern, "15", uppercased(icuMonthName(8, locale))));
        EXPECT_EQ(shown, uppercased(shown)) << "upper-casing is done once and for all";
        EXPECT_NE(shown, formatter.string(august15)) << "the month name had lower-case letters";
    }
}

TEST(DateFormatter, TheZoneDecidesTheDay) {
    // 2024-08-15 23:30 UTC is already the 16th in Paris, still the 15th in New York.
    const Date lateEvening{1723764600};
    PinnedLocale pinned("en_US", "America/New_York");
    DateFormatter formatter;
    formatter.setDateFormat("yyyy-MM-dd HH:mm");
    EXPECT_EQ(formatter.string(lateEvening), "2024-08-15 19:30");
    formatter.setTimeZone(TimeZone{"Europe/Paris"});
    EXPECT_EQ(formatter.string(lateEvening), "2024-08-16 01:30");
    formatter.setTimeZone(TimeZone{"Not/AZone"});
    EXPECT_EQ(formatter.string(lateEvening), "2024-08-15 23:30") << "an unknown zone shows GMT";
}

TEST(DateFormatter, WithoutAUsablePatternTheTextIsEmpty) {
    PinnedLocale pinned("en_US", "UTC");
    DateFormatter formatter;
    EXPECT_EQ(formatter.string(august15), "");
    formatter.setLocalizedDateFormatFromTemplate("");
    EXPECT_EQ(formatter.string(august15), "");
    formatter.setDateFormat("dd MMMM");
    EXPECT_EQ(formatter.string(Date{std::numeric_limits<double>::infinity()}), "");
    EXPECT_EQ(formatter.string(august15), "15 August");
}

TEST(Locale, UpperCasingFollowsTheLocaleRules) {
    struct Case {
        const char* text;
        const char* locale;
        const char* expected;
    };
    for (const Case& c : {Case{"15 août", "fr_FR", "15 AOÛT"}, Case{"straße", "de_DE", "STRASSE"},
                          Case{"istanbul", "tr_TR", "İSTANBUL"}, Case{"istanbul", "en_US", "ISTANBUL"},
                          Case{"", "en_US", ""}}) {
        EXPECT_EQ(uppercased(c.text, Locale{c.locale}), c.expected) << c.text << " in " << c.locale;
    }
    EXPECT_EQ(uppercased("\xff\xfe bad", Locale{"en_US"}), "\xff\xfe bad") << "bytes that are not UTF-8 stay";
    Locale::setCurrent(Locale{"tr_TR"});
    EXPECT_EQ(uppercased("i"), "İ");
    Locale::setCurrent(std::nullopt);
}

}  // namespace
