// The general signs of block pages, and the marks of an engine's results pages.
//
// Every sign is searched in one lower-cased copy of the page, each pattern lower-cased the same
// way (Japanese patterns too: a second byte of code page 932 may be an ASCII capital), so the
// work is one pass per pattern, whatever the page holds.
#include "engine/page_kind.h"

#include <algorithm>
#include <array>
#include <string>

#include "engine/page_marks.h"
#include "platform/bytes.h"

namespace vexor {
namespace {

// Each Japanese phrase in code page 932, EUC-JP and UTF-8, as pages of Japanese engines come.
constexpr std::array CAPTCHA_SIGNS = {
    std::string_view("g-recaptcha"), std::string_view("h-captcha"), std::string_view("recaptcha/api"),
    std::string_view("cf-turnstile"), std::string_view("id=\"captcha"), std::string_view("name=\"captcha"),
    std::string_view("class=\"captcha"), std::string_view("unusual traffic"), std::string_view("not a robot"),
    std::string_view("are you a robot"), std::string_view("verify you are human"),
    // ロボットではありません
    std::string_view("\x83\x8D\x83{\x83" "b\x83g\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"),
    std::string_view("\xA5\xED\xA5\xDC\xA5\xC3\xA5\xC8\xA4\xC7\xA4\xCF\xA4\xA2\xA4\xEA\xA4\xDE\xA4\xBB\xA4\xF3"),
    std::string_view("\xE3\x83\xAD\xE3\x83\x9C\xE3\x83\x83\xE3\x83\x88\xE3\x81\xA7\xE3\x81\xAF\xE3\x81\x82\xE3\x82"
                     "\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93"),
    // 通常と異なるトラフィック
    std::string_view("\x92\xCA\x8F\xED\x82\xC6\x88\xD9\x82\xC8\x82\xE9\x83g\x83\x89\x83t\x83" "B\x83" "b\x83N"),
    std::string_view("\xC4\xCC\xBE\xEF\xA4\xC8\xB0\xDB\xA4\xCA\xA4\xEB\xA5\xC8\xA5\xE9\xA5\xD5\xA5\xA3\xA5\xC3\xA5\xAF"),
    std::string_view("\xE9\x80\x9A\xE5\xB8\xB8\xE3\x81\xA8\xE7\x95\xB0\xE3\x81\xAA\xE3\x82\x8B\xE3\x83\x88\xE3\x83"
                     "\xA9\xE3\x83\x95\xE3\x82\xA3\xE3\x83\x83\xE3\x82\xAF"),
};

constexpr std::array CONSENT_WORDING = {
    std::string_view("before you continue"),
    // 続行する前に
    std::string_view("\x91\xB1\x8Ds\x82\xB7\x82\xE9\x91O\x82\xC9"),
    std::string_view("\xC2\xB3\xB9\xD4\xA4\xB9\xA4\xEB\xC1\xB0\xA4\xCB"),
    std::string_view("\xE7\xB6\x9A\xE8\xA1\x8C\xE3\x81\x99\xE3\x82\x8B\xE5\x89\x8D\xE3\x81\xAB"),
};

constexpr std::array SCRIPT_WORDING = {
    std::string_view("enable javascript"), std::string_view("turn on javascript"),
    std::string_view("javascript is disabled"), std::string_view("javascript is required"),
    std::string_view("requires javascript"), std::string_view("javascript must be enabled"),
    // JavaScriptを有効 / JavaScript を有効
    std::string_view("javascript\x82\xF0\x97L\x8C\xF8"), std::string_view("javascript\xA4\xF2\xCD\xAD\xB8\xFA"),
    std::string_view("javascript\xE3\x82\x92\xE6\x9C\x89\xE5\x8A\xB9"),
    std::string_view("javascript \x82\xF0\x97L\x8C\xF8"), std::string_view("javascript \xA4\xF2\xCD\xAD\xB8\xFA"),
    std::string_view("javascript \xE3\x82\x92\xE6\x9C\x89\xE5\x8A\xB9"),
    // JavaScriptが無効 / JavaScript が無効
    std::string_view("javascript\x82\xAA\x96\xB3\x8C\xF8"), std::string_view("javascript\xA4\xAC\xCC\xB5\xB8\xFA"),
    std::string_view("javascript\xE3\x81\x8C\xE7\x84\xA1\xE5\x8A\xB9"),
    std::string_view("javascript \x82\xAA\x96\xB3\x8C\xF8"), std::string_view("javascript \xA4\xAC\xCC\xB5\xB8\xFA"),
    std::string_view("javascript \xE3\x81\x8C\xE7\x84\xA1\xE5\x8A\xB9"),
};

// A form's action is read up to this many bytes; consent addresses are short.
constexpr std::size_t LONGEST_ACTION = 512;
// Forms looked at; a results page has a handful.
constexpr std::size_t MOST_FORMS = 64;
// A script-required page leads nowhere: at most this many links.
constexpr std::size_t MOST_LINKS_OF_SCRIPT_PAGE = 1;

template <std::size_t N>
bool holdsAny(const std::string& lowered, const std::array<std::string_view, N>& patterns) {
    for (const std::string_view pattern : patterns)
        if (lowered.find(lowerAscii(pattern)) != std::string::npos) return true;
    return false;
}

// Whether a form posts to an address that names consent ("consent.host/save", "/consent?...").
bool postsToConsent(const std::string& lowered) {
    std::size_t forms = 0;
    for (std::size_t at = lowered.find("<form"); at != std::string::npos && forms < MOST_FORMS;
         at = lowered.find("<form", at + 1), ++forms) {
        const std::size_t tagEnd = lowered.find('>', at);
        const std::size_t action = lowered.find("action=", at);
        if (action == std::string::npos || action > tagEnd) continue;
        const std::size_t valueStart = action + 7;
        std::size_t valueEnd = lowered.find_first_of(" >", valueStart + 1);
        if (valueEnd == std::string::npos) valueEnd = lowered.size();
        const std::string_view value =
            std::string_view(lowered).substr(valueStart, std::min(valueEnd - valueStart, LONGEST_ACTION));
        if (value.find("consent") != std::string_view::npos) return true;
    }
    return false;
}

// Links ("<a" and white space) up to one past the most a script-required page has.
std::size_t linkCount(const std::string& lowered) {
    std::size_t links = 0;
    for (std::size_t at = lowered.find("<a"); at != std::string::npos && links <= MOST_LINKS_OF_SCRIPT_PAGE;
         at = lowered.find("<a", at + 2)) {
        const char next = at + 2 < lowered.size() ? lowered[at + 2] : '\0';
        if (next == ' ' || next == '\t' || next == '\n' || next == '\r') ++links;
    }
    return links;
}

}  // namespace

PageKind blockSignOf(std::string_view page) {
    const std::string lowered = lowerAscii(page);
    if (holdsAny(lowered, CAPTCHA_SIGNS)) return PageKind::Captcha;
    if (postsToConsent(lowered) || holdsAny(lowered, CONSENT_WORDING)) return PageKind::Consent;
    if (linkCount(lowered) <= MOST_LINKS_OF_SCRIPT_PAGE &&
        (holdsAny(lowered, SCRIPT_WORDING) || lowered.find("<noscript") != std::string::npos))
        return PageKind::ScriptRequired;
    return PageKind::Results;
}

PageKind pageKindOf(std::string_view page, const EngineDefinition& engine) {
    const PageKind sign = blockSignOf(page);
    if (sign != PageKind::Results || engine.resultsPageMarks.empty()) return sign;
    return carriesMostMarks(page, engine.resultsPageMarks) ? PageKind::Results : PageKind::NotResults;
}

}  // namespace vexor
