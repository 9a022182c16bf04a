// The lines of a history file as every reader sees them: a header "yyyy/MM/dd (engine)" first,
// then records "yyyy/MM/dd:HH:mm:ss<TAB>keyword<TAB>rank". Files written by hand are read by
// the same rules: empty lines are skipped, a line with exactly three tab-separated fields is a
// record, and a first non-empty line that is not a record is the header.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vexor {

struct HistoryRecord {
    std::string_view stamp;  // the first field as written: "yyyy/MM/dd:HH:mm:ss"
    std::string_view keyword;
    int32_t rank = 0;        // read as a "%d" scan reads it: 0 when no digits follow
};

// The record a line holds, nothing for any other line.
std::optional<HistoryRecord> recordOf(std::string_view line);

// What names a history file's generation.
struct GenerationNames {
    std::string header;           // the first counted line when it is no record, cut by the name
                                  // rule at backslashes only ("" when there is none)
    std::string startDate = "-";  // the second physical line up to its first colon
};

// Scans the content of a history file: every record in file order to onRecord, and the names.
GenerationNames scanHistory(std::string_view content,
                            const std::function<void(const HistoryRecord&)>& onRecord);

// The engine a header line names: the text between its first " (" and the first ")" after it.
// Nothing for a line that holds a tab (a record is never a header) or lacks either mark.
std::optional<std::string> headerEngine(std::string_view line);

}  // namespace vexor
