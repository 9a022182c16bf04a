// Writing tables as CSV that a spreadsheet reads safely.
#include "app/table_csv.h"

#include <algorithm>
#include <string_view>

#include "app/visible_text.h"

namespace vexor {
namespace {

constexpr std::string_view FULL_WIDTH_SPACE = "\xE3\x80\x80";

// The first characters a spreadsheet takes as the start of a formula, in UTF-8.
constexpr std::string_view FORMULA_STARTS[] = {"=", "+", "-", "@", "\t", "\r",
                                               "\xEF\xBC\x9D", "\xEF\xBC\x8B", "\xEF\xBC\x8D", "\xEF\xBC\xA0"};

bool isRank(const std::string& text) {
    return text.empty() || text == "-" ||
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Some spreadsheets trim leading spaces before they look for a formula, so the spaces are
// passed over here too.
bool startsLikeFormula(std::string_view text) {
    for (;;) {
        if (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        else if (text.substr(0, FULL_WIDTH_SPACE.size()) == FULL_WIDTH_SPACE)
            text.remove_prefix(FULL_WIDTH_SPACE.size());
        else
            break;
    }
    return std::any_of(std::begin(FORMULA_STARTS), std::end(FORMULA_STARTS),
                       [text](std::string_view start) { return text.substr(0, start.size()) == start; });
}

// A stored code page 932 text as one CSV field.
std::string field(const std::string& cp932, CellKind kind) {
    return csvField(spreadsheetCell(visibleText(cp932).utf8, kind));
}

}  // namespace

std::string spreadsheetCell(const std::string& utf8, CellKind kind) {
    if (kind == CellKind::Rank && isRank(utf8)) return utf8;
    return startsLikeFormula(utf8) ? "'" + utf8 : utf8;
}

std::string csvField(const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string formatAsCsv(const ResultTable& table) {
    std::string out;
    for (int c = 0; c < RESULT_COLUMNS; ++c) {
        if (c > 0) out += ',';
        out += field(captionLine(table.captions[c]), c == 0 ? CellKind::Text : CellKind::Rank);
    }
    out += "\r\n";
    for (const auto& row : table.rows) {
        for (int c = 0; c < RESULT_COLUMNS; ++c) {
            if (c > 0) out += ',';
            out += field(row[c], c == 0 ? CellKind::Text : CellKind::Rank);
        }
        out += "\r\n";
    }
    return out;
}

std::string formatRunsAsCsv(const SiteHistory& history) {
    std::string out = "run,start,engine,keyword,rank,address\r\n";
    for (std::size_t r = 0; r < history.runs.size(); ++r) {
        const HistoryRun& run = history.runs[r];
        const std::string prefix = std::to_string(r + 1) + "," + field(run.start, CellKind::Text) + "," +
                                   field(run.engine, CellKind::Text) + ",";
        for (const RunRecord& record : run.records) {
            const std::string rank = record.entry.failure ? failedCell(*record.entry.failure)
                                                          : std::to_string(record.entry.rank);
            out += prefix + field(history.keywords[record.keyword], CellKind::Text) + "," +
                   field(rank, CellKind::Rank) + "," + field(record.address, CellKind::Text) + "\r\n";
        }
    }
    return out;
}

std::string csvFileBytes(const std::string& csv) { return UTF8_BYTE_ORDER_MARK + csv; }

}  // namespace vexor
