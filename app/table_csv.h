// The result table and the long form of a history as CSV (RFC 4180, UTF-8, CR LF line ends),
// written by both programs with the same bytes. Every stored text is made visible first
// (app/visible_text.h), and a text cell that a spreadsheet would take as a formula is made
// plain text.
#pragma once

#include <string>

#include "app/result_table.h"
#include "survey/site_history.h"

namespace vexor {

inline constexpr char UTF8_BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

// What a cell holds, which decides how a spreadsheet may take it: a cell of a rank column (its
// caption included) holds a number, the mark "-" (not ranked; no run) or nothing, kept as they
// are; anything else is text.
enum class CellKind { Text, Rank };

// utf8 as a spreadsheet must read it: a text that starts with "=", "+", "-", "@", a tab or a
// carriage return, or with "＝", "＋", "－" or "＠", also after leading spaces (half- or
// full-width), is prefixed with "'" so that it is never run as a formula. A rank cell that is
// a number, "-" or empty stays as it is; any other text in a rank cell is text.
std::string spreadsheetCell(const std::string& utf8, CellKind kind);

// One field: quoted when it holds a comma, a quote, CR or LF, quotes doubled.
std::string csvField(const std::string& utf8);

// A header row of the six captions, then one record per keyword.
std::string formatAsCsv(const ResultTable& table);

// Every run of a history in long form, oldest run first, its records in file order: a header
// row "run,start,engine,keyword,rank,address", then the run's number (from 1), its start, its
// engine, the keyword, the rank (0: not found; a failure as failedCell writes it) and the
// address that ranked ("" when none was kept).
std::string formatRunsAsCsv(const SiteHistory& history);

// The bytes of a CSV file: the UTF-8 byte-order mark, which a spreadsheet on a Japanese system
// needs to read UTF-8, then csv.
std::string csvFileBytes(const std::string& csv);

}  // namespace vexor
