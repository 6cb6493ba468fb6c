#include "platform/core/Date.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/core/RunLoop.hpp"

namespace platform::core {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads exactly `count` digits at `pos`.
bool readDigits(std::string_view text, std::size_t pos, std::size_t count, int& out) {
    if (pos + count > text.size()) return false;
    int value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[pos + i];
        if (!isDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    out = value;
    return true;
}

bool isLeap(long long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(long long year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// "yyyy-MM-dd" at `pos`; checks ranges.
bool readDay(std::string_view text, std::size_t pos, int& year, int& month, int& day) {
    if (!readDigits(text, pos, 4, year) || text.size() < pos + 10 || text[pos + 4] != '-' ||
        !readDigits(text, pos + 5, 2, month) || text[pos + 7] != '-' || !readDigits(text, pos + 8, 2, day))
        return false;
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

}  // namespace

Date Date::now() { return Date{RunLoop::main().now()}; }

std::optional<Date> parseISO8601Full(std::string_view text) {
    // yyyy-MM-ddTHH:mm:ss.SSS then Z or ±HH:MM
    int year, month, day, hour, minute, second, millis;
    if (!readDay(text, 0, year, month, day)) return std::nullopt;
    if (text.size() < 24 || text[10] != 'T' || !readDigits(text, 11, 2, hour) || text[13] != ':' ||
        !readDigits(text, 14, 2, minute) || text[16] != ':' || !readDigits(text, 17, 2, second) ||
        text[19] != '.' || !readDigits(text, 20, 3, millis))
        return std::nullopt;
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    int offsetSeconds = 0;
    const std::string_view zone = text.substr(23);
    if (zone == "Z") {
        offsetSeconds = 0;
    } else if (zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && zone[3] == ':') {
        int oh, om;
        if (!readDigits(zone, 1, 2, oh) || !readDigits(zone, 4, 2, om) || oh > 23 || om > 59) return std::nullopt;
        offsetSeconds = (oh * 3600 + om * 60) * (zone[0] == '-' ? -1 : 1);
    } else {
        return std::nullopt;
    }
    const long long days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    const double seconds = static_cast<double>(days * 86400LL + hour * 3600LL + minute * 60LL + second - offsetSeconds) +
                           millis / 1000.0;
    return Date{seconds};
}

std::string formatISO8601Full(Date date) {
    const double t = std::isfinite(date.timeIntervalSince1970) ? date.timeIntervalSince1970 : 0.0;
    // Round to whole milliseconds first so that 59.9996 s carries into the minute.
    const long long totalMillis = std::llround(t * 1000.0);
    long long secondsTotal = totalMillis / 1000;
    long long millis = totalMillis % 1000;
    if (millis < 0) {
        millis += 1000;
        secondsTotal -= 1;
    }
    long long days = secondsTotal / 86400;
    long long rem = secondsTotal % 86400;
    if (rem < 0) {
        rem += 86400;
        days -= 1;
    }
    long long y;
    unsigned m, d;
    civilFromDays(days, y, m, d);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02uT%02lld:%02lld:%02lld.%03lldZ", y, m, d, rem / 3600,
                  (rem / 60) % 60, rem % 60, millis);
    return buffer;
}

std::optional<Date> parseLocalDay(std::string_view text) {
    int year, month, day;
    if (text.size() != 10 || !readDay(text, 0, year, month, day)) return std::nullopt;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && !(tm.tm_year == 69 && tm.tm_mon == 11 && tm.tm_mday == 31))
        return std::nullopt;
    return Date{static_cast<double>(t)};
}

std::optional<long long> wholeDaysBetween(Date date, Date now) {
    const double from = date.timeIntervalSince1970;
    const double to = now.timeIntervalSince1970;
    if (!std::isfinite(from) || !std::isfinite(to) || !(from < to)) return std::nullopt;
    // Calendar difference in the local zone: count whole local days, then
    // step back one when the time of day of `now` has not reached that of
    // `date` (so 36 hours is 1 day and 23 hours is 0).
    auto local = [](double seconds, std::tm& out) {
        // Outside time_t's range the conversion would be undefined: no day.
        constexpr double limit = 9223372036854775808.0;  // 2^63
        const double whole = std::floor(seconds);
        if (!(whole >= -limit && whole < limit)) return false;
        const std::time_t t = static_cast<std::time_t>(whole);
        return localtime_r(&t, &out) != nullptr;
    };
    std::tm a{}, b{};
    if (!local(from, a) || !local(to, b)) return std::nullopt;
    const long long dayA = daysFromCivil(a.tm_year + 1900LL, static_cast<unsigned>(a.tm_mon + 1), static_cast<unsigned>(a.tm_mday));
    const long long dayB = daysFromCivil(b.tm_year + 1900LL, static_cast<unsigned>(b.tm_mon + 1), static_cast<unsigned>(b.tm_mday));
    long long days = dayB - dayA;
    const double timeA = a.tm_hour * 3600.0 + a.tm_min * 60.0 + a.tm_sec + (from - std::floor(from));
    const double timeB = b.tm_hour * 3600.0 + b.tm_min * 60.0 + b.tm_sec + (to - std::floor(to));
    if (timeB < timeA) days -= 1;
    return days;
}

}  // namespace platform::core
