// The settings file in the Windows profile format, read and written as bytes: "[SECTION]" and
// "key=value" lines ending in CR LF, sections and keys matched without ASCII case, blanks around
// names and values ignored and one pair of enclosing quotes taken off a value. A write changes
// or adds one line and leaves every other byte as it was.
// The Windows profile functions are not used: they read and write the file in the system's ANSI
// code page, which loses Japanese paths on any system whose code page is not 932.
#include <vector>

#include "platform/bytes.h"
#include "platform/files.h"
#include "platform/profile_file.h"
#include "platform/text.h"
#include "platform/text_lines.h"

namespace vexor {
namespace {

constexpr std::size_t MAX_VALUE_BYTES = 259;  // a value was read into a 260-byte buffer

// At most MAX_VALUE_BYTES bytes, never ending in half a double-byte character.
std::string capped(const std::string& value) {
    std::size_t length = 0;
    while (length < value.size()) {
        const std::size_t width = leadByteStep(value, length);
        if (length + width > MAX_VALUE_BYTES) break;
        length += width;
    }
    return value.substr(0, length);
}

std::string trimmed(const std::string& text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Code page 932 aware: the second byte of a double-byte character is never case-folded.
bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); i += leadByteStep(a, i)) {
        if (leadByteStep(a, i) == 2) {
            if (a.compare(i, 2, b, i, 2) != 0) return false;
        } else if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string> sectionName(const std::string& line) {
    const std::string text = trimmed(line);
    if (text.empty() || text[0] != '[') return std::nullopt;
    const std::size_t close = text.find(']');
    return trimmed(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

struct Entry {
    std::string key;
    std::string value;
};

std::optional<Entry> entryOf(const std::string& line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return std::nullopt;
    return Entry{trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1))};
}

std::string withoutQuotes(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Where a section's lines are in the file: its header line and the lines up to the next one.
struct SectionSpan {
    std::size_t header;
    std::size_t endLine;  // index of the next section's header, or the number of lines
};

std::optional<SectionSpan> findSection(const std::string& content, const std::vector<LineSpan>& lines,
                                       const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(content.substr(lines[i].start, lines[i].end - lines[i].start));
        if (!name || !sameName(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() &&
               !sectionName(content.substr(lines[end].start, lines[end].end - lines[end].start)))
            ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(const std::string& content, const std::vector<LineSpan>& lines,
                                   const SectionSpan& span, const std::string& key) {
    for (std::size_t i = span.header + 1; i < span.endLine; ++i) {
        const auto entry = entryOf(content.substr(lines[i].start, lines[i].end - lines[i].start));
        if (entry && sameName(entry->key, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> findValue(const std::string& file, const std::string& section,
                                     const std::string& key) {
    const auto content = readWholeFile(file);
    if (!content) return std::nullopt;
    return profileValue(*content, section, key);
}

}  // namespace

std::optional<std::string> profileValue(const std::string& content, const std::string& section,
                                        const std::string& key) {
    const auto lines = lineSpans(content);
    const auto span = findSection(content, lines, section);
    if (!span) return std::nullopt;
    const auto index = findKey(content, lines, *span, key);
    if (!index) return std::nullopt;
    const LineSpan& line = lines[*index];
    return entryOf(content.substr(line.start, line.end - line.start))->value;
}

std::string withProfileValue(std::string content, const std::string& section,
                             const std::string& key, const std::string& value) {
    const auto lines = lineSpans(content);
    const std::string entry = key + "=" + value;
    const auto span = findSection(content, lines, section);
    if (!span) {
        if (!content.empty() && content.back() != '\n') content += "\r\n";
        content += "[" + section + "]\r\n" + entry + "\r\n";
    } else if (const auto index = findKey(content, lines, *span, key)) {
        const LineSpan& line = lines[*index];
        content.replace(line.start, line.end - line.start, entry);
    } else {
        // After the section's last non-blank line, so that a blank line before the next
        // section stays where it is.
        std::size_t last = span->endLine - 1;
        while (last > span->header &&
               trimmed(content.substr(lines[last].start, lines[last].end - lines[last].start))
                   .empty())
            --last;
        const LineSpan& line = lines[last];
        if (content[line.next - 1] != '\n') {
            content.insert(line.end, "\r\n" + entry);  // the file's last line had no line end
        } else {
            content.insert(line.next, entry + "\r\n");
        }
    }
    return content;
}

int readProfileInt(const std::string& file, const std::string& section, const std::string& key,
                   int fallback) {
    const auto value = findValue(file, section, key);
    if (!value) return fallback;
    const std::string text = withoutQuotes(*value);
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) ++i;
    uint32_t number = 0;  // unsigned: wraps as a 32-bit reader's value does
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        number = number * 10 + static_cast<uint32_t>(text[i] - '0');
    return static_cast<int32_t>(negative ? 0u - number : number);
}

std::string readProfileString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& fallback) {
    const auto value = findValue(file, section, key);
    return capped(value ? withoutQuotes(*value) : fallback);
}

void writeProfileString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& value) {
    replaceFileContent(file, withProfileValue(readWholeFile(file).value_or(std::string()), section,
                                              key, value));
}

}  // namespace vexor
