// The history of a survey: five generation files 0.txt (current) to 4.txt (oldest) in the
// survey's history folder, each a header line "yyyy/MM/dd (engine)" followed by one record
// "yyyy/MM/dd:HH:mm:ss<TAB>keyword<TAB>rank" per finished keyword (survey/history_format.h).
// Lines end in CR LF on disk on every platform; readers accept CR LF and LF. Older generations
// move on into the folder "archive" (survey/history_rotation.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_lock.h"
#include "survey/survey_state.h"

namespace vexor {

// folder + "\" + generation + ".txt".
std::string historyFilePath(const std::string& folder, int generation);

// The header of a generation begun at the date of now under engineName, without a line end:
// "2006/02/01 (nuq)".
std::string generationHeader(const SystemTime& now, const std::string& engineName);

// One record line, CR LF included: "2006/02/01:14:29:44\tkeyword\t3 http://a.example/\r\n", the
// rank field as survey/rank_field.h writes it.
std::string historyRecord(const SystemTime& at, const std::string& keyword, const RankEntry& entry,
                          std::string_view address = {});

// Whether a record can hold keyword so that every reader reads it back: a tab, CR or LF in it
// would split the record into a line that readers drop, and the keyword would stay unsurveyed in
// every later run. Surveys leave such keywords out.
bool recordableKeyword(std::string_view keyword);

// What table holds of keyword, nothing when it has no record of it.
std::optional<RankEntry> entryOf(const HistoryTable& table, const std::string& keyword);

// Reads the five files of folder into state.historyTables (emptied first), keeping only the
// records of state.keywords (memory follows what is shown, not the files' size), and names each
// generation in state.generationCaptions: its header, else the start date (the date part of
// the file's second line), else "-", and the stamp of its first record in
// state.generationStarts. Missing files, and names that hold no regular file, are
// empty generations.
void loadHistory(SurveyState& state, const std::string& folder);

// Whether a survey started now under engineName continues generation 0 of
// state.historyDirectory: true only while some recordable keyword has no result in table 0 and
// the first line of 0.txt is a header naming exactly engineName.
bool canResumeGeneration(const SurveyState& state, const std::string& engineName);

// Makes sure 0.txt of folder starts with header when it is missing; an existing 0.txt is left
// as it is. False when the file had to be written and could not be.
bool writeGenerationHeader(const std::string& folder, const std::string& header);

// Prepares 0.txt of folder for records to be appended: a last line without a line end that
// holds a record (one cut short) is cut off, any other is ended. False when 0.txt is there but
// cannot be read or changed.
bool endLastLine(const std::string& folder);

// The lock a run holds on its history folder, so that a second run on the same survey is
// refused; the file "lock" stays, empty, in the folder.
FileLock lockHistory(const std::string& folder);

}  // namespace vexor
