// The three printed forms of a result table, all UTF-8 (the table's code page 932 texts are
// converted here; CSV is app/table_csv.h's, shared with the Windows program). Captions lose a
// trailing line break: the header that starts a generation carries one, which a list view shows
// harmlessly but would break a line of text.
#pragma once

#include <string>

#include "app/result_table.h"
#include "app/table_csv.h"
#include "cli/command_line.h"
#include "survey/site_history.h"

namespace vexor::cli {

// Aligned columns for people: a line naming the site and the engine, the captions, a rule,
// one line per keyword. Double-byte characters count two columns, as terminals draw them;
// control characters show as spaces.
std::string formatAsTable(const ResultTable& table);

// {"target": …, "engine": …, "columns": [six captions],
//  "rows": [{"keyword": …, "cells": [five texts]}]} and a line feed. Control characters keep
// JSON's own escapes ("\u001B"); a stored byte that starts no character shows as "\xHH".
std::string formatAsJson(const ResultTable& table);

std::string formatResultTable(const ResultTable& table, OutputFormat format);

// Every run of a history in long form, with the fields of formatRunsAsCsv (app/table_csv.h):
// {"target": …, "records": [{"run": 1, "start": …, "engine": …, "keyword": …,
// "rank": 3, "address": …}, …]} and a line feed; a failure's rank is its failedCell text.
std::string formatRunsAsJson(const std::string& target, const SiteHistory& history);

}  // namespace vexor::cli
