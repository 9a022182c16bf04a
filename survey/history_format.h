// The lines of a history file as every reader sees them: a header "yyyy/MM/dd (engine)" first,
// then records "yyyy/MM/dd:HH:mm:ss<TAB>keyword<TAB>rank" (the rank field: survey/rank_field.h). Files written by hand are read by
// the same rules: empty lines are skipped, a line with exactly three tab-separated fields is a
// record, and a first non-empty line that is not a record is the header. A last line without a
// line end is never a record: every record is written with its line end, so such a line is a
// record cut short, whose rank may be wrong ("11" cut to "1").
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "survey/rank_outcome.h"

namespace vexor {

struct HistoryRecord {
    std::string_view stamp;  // the first field as written: "yyyy/MM/dd:HH:mm:ss"
    std::string_view keyword;
    RankEntry entry;           // the rank as a "%d" scan reads it, or the failure written there
    std::string_view address;  // where the ranked result led, "" when not written
};

// The record a line holds, nothing for any other line.
std::optional<HistoryRecord> recordOf(std::string_view line);

// What names a history file's generation.
struct GenerationNames {
    std::string header;           // the first counted line when it is no record, cut by the name
                                  // rule at backslashes only ("" when there is none)
    std::string startDate = "-";  // the second physical line up to its first colon
    std::string firstRecordTime;  // the stamp of the first record as written ("" when none)
};

using RecordHandler = std::function<void(const HistoryRecord&)>;

// Reads a history file line by line: every record in file order to onRecord, and the names.
class HistoryScan {
public:
    explicit HistoryScan(RecordHandler onRecord) : onRecord_(std::move(onRecord)) {}
    // The next physical line without its line end, and whether a line end followed it.
    void line(std::string_view text, bool terminated);
    const GenerationNames& names() const { return names_; }

private:
    RecordHandler onRecord_;
    GenerationNames names_;
    int physical_ = 0;
    int counted_ = 0;
};

// The content of a history file, scanned.
GenerationNames scanHistory(std::string_view content, const RecordHandler& onRecord);

// The history file at path, scanned as it is read (memory does not grow with the file). Nothing
// when it cannot be read or is not a regular file (a symbolic link is not followed).
std::optional<GenerationNames> scanHistoryFile(const std::string& path, const RecordHandler& onRecord);

// The engine a header line names: the text between its first " (" and the first ")" after it.
// Nothing for a line that holds a tab (a record is never a header) or lacks either mark.
std::optional<std::string> headerEngine(std::string_view line);

// The first physical line of the history file at path, nothing when it cannot be read or is
// empty. Reads no further than that line.
std::optional<std::string> firstHistoryLine(const std::string& path);

}  // namespace vexor
