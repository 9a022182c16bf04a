// The history reader on arbitrary bytes, against a plain reference: lines at LF (a CR before it
// dropped), empty ones skipped, a record a line of exactly three tab-separated fields that has
// its line end, its rank what a "%d" scan gives. The same lines must come out whatever chunks
// the file arrives in.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/text_lines.h"
#include "survey/history_format.h"

namespace {

struct Record {
    std::string keyword;
    int32_t rank;
    bool operator==(const Record&) const = default;
};

// The rank as a "%d" scan reads it, where the scan is defined (nine digits at most).
bool scannedRank(const std::string& field, int32_t& rank) {
    std::size_t digits = 0;
    for (const char c : field)
        if (c >= '0' && c <= '9') ++digits;
    if (digits > 9) return false;
    int value = 0;
    rank = std::sscanf(field.c_str(), "%d", &value) == 1 ? value : 0;
    return true;
}

std::vector<Record> reference(const std::string& content, bool& comparable) {
    std::vector<Record> records;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t lf = content.find('\n', start);
        const bool terminated = lf != std::string::npos;
        std::string line = content.substr(start, (terminated ? lf : content.size()) - start);
        start = terminated ? lf + 1 : content.size();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields{""};
        for (const char c : line) {
            if (c == '\t') fields.emplace_back();
            else fields.back() += c;
        }
        if (line.empty() || fields.size() != 3 || !terminated) continue;
        // Bytes after a NUL stay out of reach of the C scan.
        if (fields[2].find('\0') != std::string::npos) comparable = false;
        int32_t rank = 0;
        if (!scannedRank(fields[2], rank)) comparable = false;
        records.push_back({fields[1], rank});
    }
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the chunk size the file arrives in.
    const std::size_t chunk = 1 + data[0] % 17;
    const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<Record> read;
    vexor::scanHistory(content, [&read](const vexor::HistoryRecord& record) {
        read.push_back({std::string(record.keyword), record.entry.rank});
    });
    bool comparable = true;
    const std::vector<Record> expected = reference(content, comparable);
    if (read.size() != expected.size()) __builtin_trap();
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (read[i].keyword != expected[i].keyword) __builtin_trap();
        if (comparable && read[i].rank != expected[i].rank) __builtin_trap();
    }

    // In pieces: the same lines.
    std::vector<std::pair<std::string, bool>> whole;
    std::vector<std::pair<std::string, bool>> pieces;
    vexor::LineAssembler all;
    all.feed(content, [&whole](std::string_view line, bool ended) { whole.emplace_back(line, ended); });
    all.finish([&whole](std::string_view line, bool ended) { whole.emplace_back(line, ended); });
    vexor::LineAssembler bits;
    for (std::size_t at = 0; at < content.size(); at += chunk)
        bits.feed(std::string_view(content).substr(at, chunk),
                  [&pieces](std::string_view line, bool ended) { pieces.emplace_back(line, ended); });
    bits.finish([&pieces](std::string_view line, bool ended) { pieces.emplace_back(line, ended); });
    if (whole != pieces) __builtin_trap();
    const auto lines = vexor::splitLines(content);
    if (lines.size() != whole.size()) __builtin_trap();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] != whole[i].first) __builtin_trap();
    return 0;
}
