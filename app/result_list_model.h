// The result list's rows as data: the texts of every cell and the change each rank cell shows
// against the run before it (the next column). The Windows program's list view draws from it
// on demand, so opening a big survey costs no window work per row.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/rank_change.h"
#include "app/result_list.h"

namespace vexor {

class ResultListModel {
public:
    // Starts with the captions a list shows before any survey is open.
    ResultListModel();
    void clear() { rows_.clear(); }  // the rows; captions stay
    // The caption of a column; false (and nothing kept) for a column that does not exist.
    bool setCaption(int column, const std::string& text);
    // "" for a column that does not exist or has none yet.
    const std::string& caption(int column) const;
    // A row after the last one: keyword in column 0, "-" in column 1. Returns its index.
    int appendRow(const std::string& keyword);
    // False (and nothing changed) for a row or column that does not exist.
    bool setCell(int row, int column, const std::string& text);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    // "" for a row or column that does not exist.
    const std::string& cell(int row, int column) const;
    // Columns 1 to 4 against the column after them (the next older run); the keyword column
    // and the oldest run shown compare with nothing.
    RankChange cellChange(int row, int column) const;

private:
    std::vector<std::array<std::string, RESULT_COLUMNS>> rows_;
    std::array<std::string, RESULT_COLUMNS> captions_;
};

}  // namespace vexor
