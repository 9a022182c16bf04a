// The three printed forms of a result table, all UTF-8 (the table's code page 932 texts are
// converted here). Captions lose a trailing line break: the header that starts a generation
// carries one, which a list view shows harmlessly but would break a line of text.
#pragma once

#include <string>

#include "cli/command_line.h"
#include "cli/result_table.h"
#include "survey/site_history.h"

namespace vexor::cli {

// Aligned columns for people: a line naming the site and the engine, the captions, a rule,
// one line per keyword. Double-byte characters count two columns, as terminals draw them;
// control characters show as spaces.
std::string formatAsTable(const ResultTable& table);

// RFC 4180: a header row of the six captions, then one record per keyword; CR LF line ends;
// fields with a comma, quote, CR or LF quoted, quotes doubled.
std::string formatAsCsv(const ResultTable& table);

// {"target": …, "engine": …, "columns": [six captions],
//  "rows": [{"keyword": …, "cells": [five texts]}]} and a line feed.
std::string formatAsJson(const ResultTable& table);

std::string formatResultTable(const ResultTable& table, OutputFormat format);

// The cell of a failed keyword in CSV and JSON: "failed: http-429 on page 3".
std::string failedCell(const SearchFailure& failure);

// Every run of a history in long form, oldest run first, its records in file order: the run's
// number (from 1), its start, its engine, the keyword, the rank (0: not found; a failure as
// failedCell writes it) and the address that ranked ("" when none was kept).
// CSV: a header row "run,start,engine,keyword,rank,address", then one record per line (RFC 4180).
std::string formatRunsAsCsv(const SiteHistory& history);
// JSON: {"target": …, "records": [{"run": 1, "start": …, "engine": …, "keyword": …,
// "rank": 3, "address": …}, …]} and a line feed; a failure's rank is its failedCell text.
std::string formatRunsAsJson(const std::string& target, const SiteHistory& history);

}  // namespace vexor::cli
