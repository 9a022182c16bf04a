// Writing and reading the rank field of history records.
#include "survey/rank_field.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/bytes.h"
#include "platform/leading_number.h"

namespace vexor {
namespace {

constexpr std::string_view FAILED_MARK = " failed";
constexpr std::string_view HTTP_WORD = "http-";

constexpr std::array<std::pair<FailureCause, std::string_view>, 13> CAUSE_WORDS{{
    {FailureCause::Network, "network"},
    {FailureCause::Timeout, "timeout"},
    {FailureCause::Certificate, "certificate"},
    {FailureCause::SecureChannel, "tls"},
    {FailureCause::Redirect, "redirect"},
    {FailureCause::RedirectAway, "redirect-away"},
    {FailureCause::EmptyPage, "empty"},
    {FailureCause::BadAddress, "bad-address"},
    {FailureCause::Consent, "consent"},
    {FailureCause::Captcha, "captcha"},
    {FailureCause::ScriptRequired, "script"},
    {FailureCause::NotResults, "not-results"},
    {FailureCause::NoLinks, "no-links"},
}};

SearchFailure readFailure(std::string_view text) {
    SearchFailure failure;
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    std::size_t end = 0;
    failure.page = leadingNumber(text, &end);
    if (end == 0 || end >= text.size() || text[end] != ' ') return failure;
    std::string_view word = text.substr(end + 1);
    word = word.substr(0, word.find(' '));
    if (word.starts_with(HTTP_WORD)) {
        failure.cause = FailureCause::HttpStatus;
        failure.status = leadingNumber(word.substr(HTTP_WORD.size()));
        return failure;
    }
    for (const auto& [cause, name] : CAUSE_WORDS)
        if (word == name) failure.cause = cause;
    return failure;
}

}  // namespace

std::string causeWord(const SearchFailure& failure) {
    if (failure.cause == FailureCause::HttpStatus)
        return std::string(HTTP_WORD) + std::to_string(failure.status);
    for (const auto& [cause, name] : CAUSE_WORDS)
        if (failure.cause == cause) return std::string(name);
    return "unknown";
}

std::string rankField(const RankEntry& entry, std::string_view address) {
    if (entry.failure)
        return "0" + std::string(FAILED_MARK) + " " + std::to_string(entry.failure->page) + " " +
               causeWord(*entry.failure);
    std::string field = std::to_string(entry.rank);
    if (entry.rank <= 0 || address.empty()) return field;
    field += ' ';
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F)
            appendHexEscape(field, byte);
        else
            field += c;
    }
    return field;
}

ReadRankField readRankField(std::string_view field) {
    ReadRankField read;
    std::size_t end = 0;
    read.entry.rank = leadingNumber(field, &end);
    if (end == 0) return read;
    const std::string_view rest = field.substr(end);
    if (read.entry.rank == 0 && rest.starts_with(FAILED_MARK)) {
        read.entry.failure = readFailure(rest.substr(FAILED_MARK.size()));
    } else if (read.entry.rank > 0 && rest.starts_with(' ')) {
        const std::size_t start = rest.find_first_not_of(' ');
        if (start != std::string_view::npos) read.address = rest.substr(start);
    }
    return read;
}

}  // namespace vexor
