// The kill-safe rotation of the history generations.
#include "survey/history_rotation.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/text_lines.h"
#include "survey/history.h"
#include "survey/history_format.h"

namespace vexor {
namespace {

constexpr char MARKER[] = "rotation";
constexpr char MARKER_DRAFT[] = "rotation.new";
constexpr char NEW_GENERATION[] = "0.new";
constexpr int OLDEST = HISTORY_GENERATIONS - 1;

struct Plan {
    std::vector<int> present;  // the generations that had a file, ascending
    std::string header;
};

std::string planText(const Plan& plan) {
    std::string text;
    for (const int k : plan.present) text += static_cast<char>('0' + k);
    return text + "\r\n" + plan.header + "\r\n";
}

std::optional<Plan> planOf(const std::string& text) {
    const auto lines = splitLines(text);
    if (lines.size() < 2) return std::nullopt;
    Plan plan;
    for (const char c : lines[0]) {
        if (c < '0' || c > '0' + OLDEST) return std::nullopt;
        plan.present.push_back(c - '0');
    }
    if (!std::is_sorted(plan.present.begin(), plan.present.end())) return std::nullopt;
    plan.header = lines[1];
    return plan;
}

struct Move {
    std::string from;
    std::string to;
};

// A free name under archive\ for the generation file: its start, then -2, -3, ...
std::string archivePathFor(const std::string& folder, const std::string& file) {
    const std::string archive = joinPath(folder, ARCHIVE_FOLDER);
    const std::string name = archiveName(file);
    const std::string stem = name.substr(0, name.size() - 4);
    std::string path = joinPath(archive, name);
    for (int n = 2; fileKind(path) != FileKind::Missing; ++n)
        path = joinPath(archive, stem + "-" + std::to_string(n) + ".txt");
    return path;
}

// Moves generation k one up: the oldest into the archive, any other to the next number.
std::optional<Move> moveUp(const std::string& folder, int k) {
    Move move{historyFilePath(folder, k), std::string()};
    if (k == OLDEST) {
        makeDirectory(joinPath(folder, ARCHIVE_FOLDER));
        move.to = archivePathFor(folder, move.from);
    } else {
        move.to = historyFilePath(folder, k + 1);
    }
    if (!renameFile(move.from, move.to)) return std::nullopt;
    return move;
}

// Moves each generation of steps (highest first), recording what was done.
bool moveAll(const std::string& folder, const std::vector<int>& steps, std::vector<Move>& done) {
    for (const int k : steps) {
        const auto move = moveUp(folder, k);
        if (!move) return false;
        done.push_back(*move);
    }
    return true;
}

void undo(const std::vector<Move>& done) {
    for (auto move = done.rbegin(); move != done.rend(); ++move) renameFile(move->to, move->from);
}

std::vector<int> highestFirst(std::vector<int> generations) {
    std::sort(generations.rbegin(), generations.rend());
    return generations;
}

bool writeMarker(const std::string& folder, const Plan& plan) {
    const std::string draft = joinPath(folder, MARKER_DRAFT);
    removeFile(draft);
    return appendToFile(draft, planText(plan)) && renameFile(draft, joinPath(folder, MARKER));
}

// Names that only a rotation killed part way leaves: its drafts, and the temporary files of
// the copies older versions rotated with ("3.txt.tmp1234-0").
bool isLeftover(const std::string& name) {
    if (name == NEW_GENERATION || name == MARKER_DRAFT) return true;
    if (name.size() < 11 || name[0] < '0' || name[0] > '0' + OLDEST) return false;
    if (name.compare(1, 8, ".txt.tmp") != 0) return false;
    const std::string rest = name.substr(9);
    const std::size_t dash = rest.find('-');
    return dash != std::string::npos && dash > 0 && dash + 1 < rest.size() &&
           rest.find_first_not_of("0123456789-") == std::string::npos;
}

}  // namespace

std::string archiveName(const std::string& generationFile) {
    std::string start;
    const auto names = scanHistoryFile(generationFile, [&start](const HistoryRecord& record) {
        if (!start.empty()) return;
        std::string digits;
        for (const char c : record.stamp)
            if (c >= '0' && c <= '9') digits += c;
        if (digits.size() == 14) start = digits.substr(0, 8) + "-" + digits.substr(8);
    });
    if (start.empty() && names) {
        std::string digits;
        for (const char c : names->header.substr(0, 10))
            if (c >= '0' && c <= '9') digits += c;
        if (digits.size() == 8) start = digits + "-000000";
    }
    return (start.empty() ? std::string("00000000-000000") : start) + ".txt";
}

RotationOutcome rotateGenerations(const std::string& folder, const std::string& header) {
    Plan plan{{}, header};
    for (int k = 0; k <= OLDEST; ++k) {
        switch (fileKind(historyFilePath(folder, k))) {
            case FileKind::Missing: break;
            case FileKind::Regular: plan.present.push_back(k); break;
            default: return RotationOutcome::Failed;  // a folder, a link, a device
        }
    }
    const std::string fresh = joinPath(folder, NEW_GENERATION);
    removeFile(fresh);
    if (!appendToFile(fresh, header + "\r\n")) return RotationOutcome::Failed;
    if (!writeMarker(folder, plan)) {
        removeFile(fresh);
        return RotationOutcome::Failed;
    }
    std::vector<Move> done;
    if (!moveAll(folder, highestFirst(plan.present), done) ||
        !renameFile(fresh, historyFilePath(folder, 0))) {
        undo(done);
        removeFile(fresh);
        removeFile(joinPath(folder, MARKER));
        return RotationOutcome::Failed;
    }
    removeFile(joinPath(folder, MARKER));
    return RotationOutcome::Rotated;
}

bool finishInterruptedRotation(const std::string& folder) {
    const std::string marker = joinPath(folder, MARKER);
    const std::string fresh = joinPath(folder, NEW_GENERATION);
    bool changed = false;
    if (fileKind(marker) == FileKind::Regular) {
        const auto plan = planOf(readWholeFile(marker).value_or(std::string()));
        if (plan && fileKind(fresh) == FileKind::Regular) {
            // The moves done are those of the generations above the lowest one whose file is
            // gone (nothing moves into the lowest); the rest are still to do.
            std::vector<int> pending;
            for (const int k : plan->present) {
                if (fileKind(historyFilePath(folder, k)) == FileKind::Missing) break;
                pending.push_back(k);
            }
            std::vector<Move> done;
            // A move that fails now leaves the marker for the next run to try again.
            if (!moveAll(folder, highestFirst(pending), done) ||
                !renameFile(fresh, historyFilePath(folder, 0)))
                return !done.empty();
        }
        removeFile(marker);
        changed = true;
    }
    for (const std::string& name : listFiles(folder, ""))
        if (isLeftover(name)) removeFile(joinPath(folder, name));
    return changed;
}

}  // namespace vexor
