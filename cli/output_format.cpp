// Printing a result table as aligned text, CSV or JSON.
#include "cli/output_format.h"

#include <algorithm>
#include <cstdio>

#include "cli/terminal_text.h"
#include "platform/text.h"
#include "survey/rank_field.h"

namespace vexor::cli {
namespace {

std::string withoutTrailingLineBreaks(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// JSON escapes control characters itself (\u001B), losing nothing and printing nothing raw.
std::string jsonCaption(const ResultTable& table, int column) {
    return cp932ToUtf8(withoutTrailingLineBreaks(table.captions[column]));
}

std::string csvCaption(const ResultTable& table, int column) {
    return terminalText(withoutTrailingLineBreaks(table.captions[column])).utf8;
}

std::string printable(const std::string& cp932) { return terminalText(cp932).utf8; }

std::string csvField(const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string jsonString(const std::string& utf8) {
    std::string out = "\"";
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
                    out += escaped;
                } else {
                    out += ch;
                }
        }
    }
    return out + '"';
}

}  // namespace

std::string formatAsTable(const ResultTable& table) {
    // Two passes, the widths first: a table of a million keywords keeps no second copy of
    // itself in converted form.
    std::array<std::string, TABLE_COLUMNS> captions;
    for (int c = 0; c < TABLE_COLUMNS; ++c) captions[c] = withoutTrailingLineBreaks(table.captions[c]);
    std::array<std::size_t, TABLE_COLUMNS> widths{};
    const auto widen = [&widths](const auto& cells) {
        for (int c = 0; c < TABLE_COLUMNS; ++c) widths[c] = std::max(widths[c], terminalText(cells[c]).width);
    };
    widen(captions);
    for (const auto& row : table.rows) widen(row);

    std::string out = "site: " + terminalText(table.target).utf8 +
                      "  engine: " + terminalText(table.engine).utf8 + "\n";
    const auto render = [&](const auto& cells) {
        const std::size_t start = out.size();
        for (int c = 0; c < TABLE_COLUMNS; ++c) {
            const TerminalText text = terminalText(cells[c]);
            out += text.utf8;
            if (c + 1 < TABLE_COLUMNS) out.append(widths[c] - text.width + 2, ' ');
        }
        while (out.size() > start && out.back() == ' ') out.pop_back();
        out += '\n';
    };
    render(captions);
    for (int c = 0; c < TABLE_COLUMNS; ++c) {
        out.append(widths[c] > 0 ? widths[c] : 1, '-');
        if (c + 1 < TABLE_COLUMNS) out += "  ";
    }
    out += '\n';
    for (const auto& row : table.rows) render(row);
    return out;
}

std::string formatAsCsv(const ResultTable& table) {
    std::string out;
    auto record = [&out](const std::array<std::string, TABLE_COLUMNS>& utf8Fields) {
        for (int c = 0; c < TABLE_COLUMNS; ++c) {
            if (c > 0) out += ',';
            out += csvField(utf8Fields[c]);
        }
        out += "\r\n";
    };
    std::array<std::string, TABLE_COLUMNS> fields;
    for (int c = 0; c < TABLE_COLUMNS; ++c) fields[c] = csvCaption(table, c);
    record(fields);
    for (const auto& row : table.rows) {
        for (int c = 0; c < TABLE_COLUMNS; ++c) fields[c] = printable(row[c]);
        record(fields);
    }
    return out;
}

std::string formatAsJson(const ResultTable& table) {
    std::string out = "{\"target\": " + jsonString(cp932ToUtf8(table.target)) +
                      ", \"engine\": " + jsonString(cp932ToUtf8(table.engine)) +
                      ", \"columns\": [";
    for (int c = 0; c < TABLE_COLUMNS; ++c) {
        if (c > 0) out += ", ";
        out += jsonString(jsonCaption(table, c));
    }
    out += "], \"rows\": [";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const auto& row = table.rows[r];
        out += r > 0 ? ",\n  " : "\n  ";
        out += "{\"keyword\": " + jsonString(cp932ToUtf8(row[0])) + ", \"cells\": [";
        for (int c = 1; c < TABLE_COLUMNS; ++c) {
            if (c > 1) out += ", ";
            out += jsonString(cp932ToUtf8(row[c]));
        }
        out += "]}";
    }
    out += table.rows.empty() ? "]}\n" : "\n]}\n";
    return out;
}

std::string formatResultTable(const ResultTable& table, OutputFormat format) {
    switch (format) {
        case OutputFormat::Csv: return formatAsCsv(table);
        case OutputFormat::Json: return formatAsJson(table);
        case OutputFormat::Table: break;
    }
    return formatAsTable(table);
}

std::string failedCell(const SearchFailure& failure) {
    return "failed: " + causeWord(failure) + " on page " + std::to_string(failure.page);
}

std::string formatRunsAsCsv(const SiteHistory& history) {
    std::string out = "run,start,engine,keyword,rank,address\r\n";
    for (std::size_t r = 0; r < history.runs.size(); ++r) {
        const HistoryRun& run = history.runs[r];
        const std::string prefix = std::to_string(r + 1) + "," + csvField(cp932ToUtf8(run.start)) +
                                   "," + csvField(cp932ToUtf8(run.engine)) + ",";
        for (const RunRecord& record : run.records)
            out += prefix + csvField(cp932ToUtf8(history.keywords[record.keyword])) + "," +
                   (record.entry.failure ? failedCell(*record.entry.failure) : std::to_string(record.entry.rank)) +
                   "," + csvField(record.address) + "\r\n";
    }
    return out;
}

std::string formatRunsAsJson(const std::string& target, const SiteHistory& history) {
    std::string out = "{\"target\": " + jsonString(cp932ToUtf8(target)) + ", \"records\": [";
    bool first = true;
    for (std::size_t r = 0; r < history.runs.size(); ++r) {
        const HistoryRun& run = history.runs[r];
        const std::string prefix = "{\"run\": " + std::to_string(r + 1) +
                                   ", \"start\": " + jsonString(cp932ToUtf8(run.start)) +
                                   ", \"engine\": " + jsonString(cp932ToUtf8(run.engine)) +
                                   ", \"keyword\": ";
        for (const RunRecord& record : run.records) {
            out += first ? "\n  " : ",\n  ";
            first = false;
            out += prefix + jsonString(cp932ToUtf8(history.keywords[record.keyword])) +
                   ", \"rank\": " +
                   (record.entry.failure ? jsonString(failedCell(*record.entry.failure))
                                         : std::to_string(record.entry.rank)) +
                   ", \"address\": " + jsonString(record.address) + "}";
        }
    }
    out += first ? "]}\n" : "\n]}\n";
    return out;
}

}  // namespace vexor::cli
