// Reading every run of a site's history.
#include "survey/site_history.h"

#include <algorithm>
#include <cctype>

#include "platform/files.h"
#include "platform/text_lines.h"
#include "survey/history.h"
#include "survey/history_format.h"
#include "survey/history_rotation.h"

namespace vexor {
namespace {

bool matchesPicture(std::string_view text, std::string_view picture) {
    if (text.size() != picture.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (picture[i] == '9' ? !digit : text[i] != picture[i]) return false;
    }
    return true;
}

// The order of archive file names for runs that began at the same second: names without their
// ".txt", digit runs compared by value, so "x" < "x-2" < "x-10".
bool archiveNameBefore(const std::string& a, const std::string& b) {
    const std::string_view x(a.data(), a.size() - 4);
    const std::string_view y(b.data(), b.size() - 4);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < x.size() && j < y.size()) {
        const bool digitX = std::isdigit(static_cast<unsigned char>(x[i])) != 0;
        const bool digitY = std::isdigit(static_cast<unsigned char>(y[j])) != 0;
        if (digitX && digitY) {
            std::size_t endX = i;
            std::size_t endY = j;
            while (endX < x.size() && std::isdigit(static_cast<unsigned char>(x[endX]))) ++endX;
            while (endY < y.size() && std::isdigit(static_cast<unsigned char>(y[endY]))) ++endY;
            std::string_view numberX = x.substr(i, endX - i);
            std::string_view numberY = y.substr(j, endY - j);
            numberX.remove_prefix(std::min(numberX.find_first_not_of('0'), numberX.size()));
            numberY.remove_prefix(std::min(numberY.find_first_not_of('0'), numberY.size()));
            if (numberX.size() != numberY.size()) return numberX.size() < numberY.size();
            if (numberX != numberY) return numberX < numberY;
            i = endX;
            j = endY;
            continue;
        }
        if (x[i] != y[j]) return static_cast<unsigned char>(x[i]) < static_cast<unsigned char>(y[j]);
        ++i;
        ++j;
    }
    if (x.size() - i != y.size() - j) return x.size() - i < y.size() - j;
    return a < b;
}

// The first line of content that is not empty, "" when there is none.
std::string_view firstCountedLine(std::string_view content) {
    for (const LineSpan& span : lineSpans(content))
        if (span.end > span.start) return content.substr(span.start, span.end - span.start);
    return {};
}

// Adds one history file's run to history; false when the file holds no run.
class RunReader {
public:
    explicit RunReader(SiteHistory& history) : history_(history) {}

    bool read(const std::string& path) {
        // A link or a FIFO in the history folder is no run (never followed, never waited on).
        if (fileKind(path) != FileKind::Regular) return false;
        const auto content = readWholeFile(path);
        if (!content) return false;
        HistoryRun run;
        std::string firstStamp;
        bool anyRecord = false;
        ++runNumber_;
        const GenerationNames names = scanHistory(*content, [&](const HistoryRecord& record) {
            if (!anyRecord) firstStamp = std::string(record.stamp);
            anyRecord = true;
            const uint32_t keyword = intern(record.keyword);
            RunRecord read{keyword, record.entry, std::string(record.address)};
            if (seenInRun_[keyword] == runNumber_) {
                RunRecord& earlier = run.records[placeInRun_[keyword]];
                if (earlier.entry.failed()) earlier = std::move(read);
                return;
            }
            seenInRun_[keyword] = runNumber_;
            placeInRun_[keyword] = static_cast<uint32_t>(run.records.size());
            run.records.push_back(std::move(read));
        });
        std::string header;
        if (!names.header.empty()) {
            const std::string_view line = firstCountedLine(*content);
            header = std::string(line);
            run.engine = headerEngine(line).value_or("");
        }
        if (!anyRecord && header.empty()) return false;
        run.start = runStart(firstStamp, header);
        history_.runs.push_back(std::move(run));
        return true;
    }

private:
    uint32_t intern(std::string_view keyword) {
        const auto [it, added] = history_.keywordIndex.try_emplace(
            std::string(keyword), static_cast<uint32_t>(history_.keywords.size()));
        if (added) {
            history_.keywords.push_back(it->first);
            seenInRun_.push_back(0);
            placeInRun_.push_back(0);
        }
        return it->second;
    }

    SiteHistory& history_;
    uint32_t runNumber_ = 0;
    std::vector<uint32_t> seenInRun_;   // per keyword: the last run number that recorded it
    std::vector<uint32_t> placeInRun_;  // per keyword: its place in that run's records
};

}  // namespace

std::optional<uint32_t> SiteHistory::indexOf(const std::string& keyword) const {
    const auto found = keywordIndex.find(keyword);
    if (found == keywordIndex.end()) return std::nullopt;
    return found->second;
}

std::string runStart(const std::string& firstStamp, const std::string& header) {
    if (!firstStamp.empty()) {
        if (!matchesPicture(firstStamp, "9999/99/99:99:99:99")) return firstStamp;
        return firstStamp.substr(0, 10) + " " + firstStamp.substr(11);
    }
    const std::string date = header.substr(0, header.find(' '));
    if (matchesPicture(date, "9999/99/99")) return date + " 00:00:00";
    return header;
}

SiteHistory readSiteHistory(const std::string& folder) {
    SiteHistory history;
    RunReader reader(history);

    const std::string archive = joinPath(folder, ARCHIVE_FOLDER);
    std::vector<std::string> names = listFiles(archive, ".txt");
    std::sort(names.begin(), names.end(), archiveNameBefore);
    for (const std::string& name : names) reader.read(joinPath(archive, name));
    // The file names only break ties: a run's place is its start, read from its content.
    std::stable_sort(history.runs.begin(), history.runs.end(),
                     [](const HistoryRun& a, const HistoryRun& b) { return a.start < b.start; });

    for (int generation = HISTORY_GENERATIONS - 1; generation >= 0; --generation)
        reader.read(historyFilePath(folder, generation));
    return history;
}

}  // namespace vexor
