// Printing a result table as aligned text or JSON.
#include "cli/output_format.h"

#include <algorithm>
#include <cstdio>

#include "app/visible_text.h"

namespace vexor::cli {
namespace {

// JSON escapes control characters itself (\u001B), losing nothing and printing nothing raw.
std::string jsonText(const std::string& cp932) { return utf8ShowingStrayBytes(cp932); }

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
                if (c < 0x20 || c == 0x7F) {
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
    std::array<std::string, RESULT_COLUMNS> captions;
    for (int c = 0; c < RESULT_COLUMNS; ++c) captions[c] = captionLine(table.captions[c]);
    std::array<std::size_t, RESULT_COLUMNS> widths{};
    const auto widen = [&widths](const auto& cells) {
        for (int c = 0; c < RESULT_COLUMNS; ++c) widths[c] = std::max(widths[c], visibleText(cells[c]).width);
    };
    widen(captions);
    for (const auto& row : table.rows) widen(row);

    std::string out = "site: " + visibleText(table.target).utf8 +
                      "  engine: " + visibleText(table.engine).utf8 + "\n";
    const auto render = [&](const auto& cells) {
        const std::size_t start = out.size();
        for (int c = 0; c < RESULT_COLUMNS; ++c) {
            const VisibleText text = visibleText(cells[c]);
            out += text.utf8;
            if (c + 1 < RESULT_COLUMNS) out.append(widths[c] - text.width + 2, ' ');
        }
        while (out.size() > start && out.back() == ' ') out.pop_back();
        out += '\n';
    };
    render(captions);
    for (int c = 0; c < RESULT_COLUMNS; ++c) {
        out.append(widths[c] > 0 ? widths[c] : 1, '-');
        if (c + 1 < RESULT_COLUMNS) out += "  ";
    }
    out += '\n';
    for (const auto& row : table.rows) render(row);
    return out;
}

std::string formatAsJson(const ResultTable& table) {
    std::string out = "{\"target\": " + jsonString(jsonText(table.target)) +
                      ", \"engine\": " + jsonString(jsonText(table.engine)) +
                      ", \"columns\": [";
    for (int c = 0; c < RESULT_COLUMNS; ++c) {
        if (c > 0) out += ", ";
        out += jsonString(jsonText(captionLine(table.captions[c])));
    }
    out += "], \"rows\": [";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const auto& row = table.rows[r];
        out += r > 0 ? ",\n  " : "\n  ";
        out += "{\"keyword\": " + jsonString(jsonText(row[0])) + ", \"cells\": [";
        for (int c = 1; c < RESULT_COLUMNS; ++c) {
            if (c > 1) out += ", ";
            out += jsonString(jsonText(row[c]));
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

std::string formatRunsAsJson(const std::string& target, const SiteHistory& history) {
    std::string out = "{\"target\": " + jsonString(jsonText(target)) + ", \"records\": [";
    bool first = true;
    for (std::size_t r = 0; r < history.runs.size(); ++r) {
        const HistoryRun& run = history.runs[r];
        const std::string prefix = "{\"run\": " + std::to_string(r + 1) +
                                   ", \"start\": " + jsonString(jsonText(run.start)) +
                                   ", \"engine\": " + jsonString(jsonText(run.engine)) +
                                   ", \"keyword\": ";
        for (const RunRecord& record : run.records) {
            out += first ? "\n  " : ",\n  ";
            first = false;
            out += prefix + jsonString(jsonText(history.keywords[record.keyword])) +
                   ", \"rank\": " +
                   (record.entry.failure ? jsonString(failedCell(*record.entry.failure))
                                         : std::to_string(record.entry.rank)) +
                   ", \"address\": " + jsonString(jsonText(record.address)) + "}";
        }
    }
    out += first ? "]}\n" : "\n]}\n";
    return out;
}

}  // namespace vexor::cli
