// Printing a result table as aligned text, CSV or JSON.
#include "cli/output_format.h"

#include <cstdio>

#include "cli/terminal_text.h"
#include "platform/text.h"

namespace vexor::cli {
namespace {

std::string withoutTrailingLineBreaks(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string captionText(const ResultTable& table, int column) {
    return cp932ToUtf8(withoutTrailingLineBreaks(table.captions[column]));
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
    std::vector<std::array<TerminalText, TABLE_COLUMNS>> lines;
    std::array<TerminalText, TABLE_COLUMNS> header;
    for (int c = 0; c < TABLE_COLUMNS; ++c)
        header[c] = terminalText(withoutTrailingLineBreaks(table.captions[c]));
    lines.push_back(header);
    for (const auto& row : table.rows) {
        std::array<TerminalText, TABLE_COLUMNS> line;
        for (int c = 0; c < TABLE_COLUMNS; ++c) line[c] = terminalText(row[c]);
        lines.push_back(line);
    }
    std::array<std::size_t, TABLE_COLUMNS> widths{};
    for (const auto& line : lines)
        for (int c = 0; c < TABLE_COLUMNS; ++c)
            if (line[c].width > widths[c]) widths[c] = line[c].width;

    auto render = [&](const std::array<TerminalText, TABLE_COLUMNS>& line) {
        std::string text;
        for (int c = 0; c < TABLE_COLUMNS; ++c) {
            text += line[c].utf8;
            if (c + 1 < TABLE_COLUMNS) text += std::string(widths[c] - line[c].width + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text + '\n';
    };

    std::string out = "site: " + terminalText(table.target).utf8 +
                      "  engine: " + terminalText(table.engine).utf8 + "\n";
    out += render(lines.front());
    std::string rule;
    for (int c = 0; c < TABLE_COLUMNS; ++c) {
        rule += std::string(widths[c] > 0 ? widths[c] : 1, '-');
        if (c + 1 < TABLE_COLUMNS) rule += "  ";
    }
    out += rule + '\n';
    for (std::size_t i = 1; i < lines.size(); ++i) out += render(lines[i]);
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
    for (int c = 0; c < TABLE_COLUMNS; ++c) fields[c] = captionText(table, c);
    record(fields);
    for (const auto& row : table.rows) {
        for (int c = 0; c < TABLE_COLUMNS; ++c) fields[c] = cp932ToUtf8(row[c]);
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
        out += jsonString(captionText(table, c));
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

std::string formatRunsAsCsv(const SiteHistory& history) {
    std::string out = "run,start,engine,keyword,rank\r\n";
    for (std::size_t r = 0; r < history.runs.size(); ++r) {
        const HistoryRun& run = history.runs[r];
        const std::string prefix = std::to_string(r + 1) + "," + csvField(cp932ToUtf8(run.start)) +
                                   "," + csvField(cp932ToUtf8(run.engine)) + ",";
        for (const RunRecord& record : run.records)
            out += prefix + csvField(cp932ToUtf8(history.keywords[record.keyword])) + "," +
                   std::to_string(record.rank) + "\r\n";
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
                   ", \"rank\": " + std::to_string(record.rank) + "}";
        }
    }
    out += first ? "]}\n" : "\n]}\n";
    return out;
}

}  // namespace vexor::cli
