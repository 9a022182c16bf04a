// The history of a survey: five generation files 0.txt (current) to 4.txt (oldest) in the
// survey's history folder, each a header line "yyyy/MM/dd (engine)" followed by one record
// "yyyy/MM/dd:HH:mm:ss<TAB>keyword<TAB>rank" per finished keyword. Lines end in CR LF on disk on
// every platform; readers accept CR LF and LF.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "survey/survey_state.h"

namespace vexor {

// folder + "\" + generation + ".txt".
std::string historyFilePath(const std::string& folder, int generation);

// The header of a generation begun at the date of now under engineName, without a line end:
// "2006/02/01 (nuq)".
std::string generationHeader(const SystemTime& now, const std::string& engineName);

// One record line, CR LF included: "2006/02/01:14:29:44\tkeyword\t3\r\n".
std::string historyRecord(const SystemTime& at, const std::string& keyword, int32_t rank);

// The rank of keyword in table, nothing when the table has no record of it.
std::optional<int32_t> rankOf(const HistoryTable& table, const std::string& keyword);

// Reads the five files of folder into state.historyTables (emptied first) and names each
// generation in state.generationCaptions: its header, else the start date (the date part of the
// file's second line), else "-". Missing files are empty generations.
void loadHistory(SurveyState& state, const std::string& folder);

// Whether a survey started now under engineName continues generation 0 of
// state.historyDirectory: true only while some keyword has no result in table 0 and the first
// line of 0.txt is a header naming exactly engineName.
bool canResumeGeneration(const SurveyState& state, const std::string& engineName);

// Begins a new generation in state.historyDirectory: shifts 3->4, 2->3, 1->2, 0->1, deletes
// 0.txt, reloads the tables and names generation 0 by header. Copy and delete failures are
// silent.
void rotateHistory(SurveyState& state, const std::string& header);

// Creates 0.txt with header as its first line unless 0.txt already exists (then it is left
// unchanged). False when the file had to be written and could not be.
bool writeGenerationHeader(const std::string& folder, const std::string& header);

}  // namespace vexor
