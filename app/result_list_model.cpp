// The result list's rows.
#include "app/result_list_model.h"

#include "app/texts.h"

namespace vexor {

ResultListModel::ResultListModel()
    : captions_{texts::CAPTION_KEYWORD, texts::CAPTION_RANK,    texts::CAPTION_HISTORY,
                texts::CAPTION_HISTORY, texts::CAPTION_HISTORY, texts::CAPTION_HISTORY} {}

int ResultListModel::appendRow(const std::string& keyword) {
    auto& row = rows_.emplace_back();
    row[0] = keyword;
    row[1] = texts::TEXT_NOT_FOUND;
    return rowCount() - 1;
}

bool ResultListModel::setCell(int row, int column, const std::string& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= RESULT_COLUMNS) return false;
    rows_[row][column] = text;
    return true;
}

bool ResultListModel::setCaption(int column, const std::string& text) {
    if (column < 0 || column >= RESULT_COLUMNS) return false;
    captions_[column] = text;
    return true;
}

const std::string& ResultListModel::caption(int column) const {
    static const std::string none;
    return column < 0 || column >= RESULT_COLUMNS ? none : captions_[column];
}

const std::string& ResultListModel::cell(int row, int column) const {
    static const std::string none;
    if (row < 0 || row >= rowCount() || column < 0 || column >= RESULT_COLUMNS) return none;
    return rows_[row][column];
}

RankChange ResultListModel::cellChange(int row, int column) const {
    if (column < 1 || column + 1 >= RESULT_COLUMNS) return RankChange::None;
    return vexor::cellChange(cell(row, column), cell(row, column + 1));
}

}  // namespace vexor
