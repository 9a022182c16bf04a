// Retry-After values: delay seconds or one of the three HTTP date forms.
#include "web/retry_after.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexor {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether word is name (given in lower case) in any letter case.
bool isName(std::string_view word, std::string_view name) {
    return word.size() == name.size() &&
           std::equal(word.begin(), word.end(), name.begin(), [](char a, char b) { return lower(a) == b; });
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// Digits only, held at the cap instead of overflowing.
std::optional<int64_t> digitsValue(std::string_view text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit)) return std::nullopt;
    int64_t value = 0;
    for (const char c : text) value = std::min<int64_t>(value * 10 + (c - '0'), RETRY_AFTER_CAP_SECONDS);
    return value;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, so that no time zone or
// C library conversion takes part.
int64_t daysFromEpoch(int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int monthNumber(std::string_view name) {
    static constexpr std::array<const char*, 12> MONTHS = {"jan", "feb", "mar", "apr", "may", "jun",
                                                           "jul", "aug", "sep", "oct", "nov", "dec"};
    for (std::size_t i = 0; i < MONTHS.size(); ++i)
        if (isName(name, MONTHS[i])) return static_cast<int>(i) + 1;
    return 0;
}

// The words of a date: runs of letters or digits, each separator (space, comma, hyphen, colon)
// dropped.
std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ' || text[i] == ',' || text[i] == '-' || text[i] == ':') {
            if (i > start) out.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

// Seconds since 1970 of an HTTP date. The three forms hold the same words in two orders:
//   Sun, 06 Nov 1994 08:49:37 GMT    weekday day month year hh mm ss GMT
//   Sunday, 06-Nov-94 08:49:37 GMT   weekday day month yy hh mm ss GMT
//   Sun Nov  6 08:49:37 1994         weekday month day hh mm ss year (no zone)
std::optional<int64_t> httpDate(std::string_view text) {
    const auto w = words(text);
    const bool asctime = w.size() > 1 && monthNumber(w[1]) != 0;
    if (w.size() != (asctime ? 7u : 8u)) return std::nullopt;
    const std::string_view dayWord = asctime ? w[2] : w[1];
    const std::string_view monthWord = asctime ? w[1] : w[2];
    const std::string_view yearWord = asctime ? w[6] : w[3];
    const std::size_t clock = asctime ? 3 : 4;
    if (!asctime && !isName(w[7], "gmt")) return std::nullopt;
    const int month = monthNumber(monthWord);
    const auto day = digitsValue(dayWord);
    auto year = digitsValue(yearWord);
    const auto hour = digitsValue(w[clock]);
    const auto minute = digitsValue(w[clock + 1]);
    const auto second = digitsValue(w[clock + 2]);
    if (!month || !day || !year || !hour || !minute || !second || yearWord.size() < 2) return std::nullopt;
    if (yearWord.size() == 2) *year += *year < 70 ? 2000 : 1900;  // the RFC 850 form's two digits
    else if (yearWord.size() != 4) return std::nullopt;
    if (*day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60) return std::nullopt;
    return daysFromEpoch(*year, month, static_cast<int>(*day)) * 86400 + *hour * 3600 +
           *minute * 60 + *second;
}

}  // namespace

int retryAfterSeconds(std::string_view value, std::time_t now) {
    value = trimmed(value);
    if (const auto seconds = digitsValue(value)) return static_cast<int>(*seconds);
    const auto date = httpDate(value);
    if (!date) return -1;
    const int64_t left = *date - static_cast<int64_t>(now);
    return static_cast<int>(std::clamp<int64_t>(left, 0, RETRY_AFTER_CAP_SECONDS));
}

}  // namespace vexor
