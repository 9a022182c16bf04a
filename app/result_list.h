// The result list: one row per keyword of the open survey, with the keyword (column 0), the
// current run (column 1) and the four runs before it (columns 2 to 5). The Windows program
// shows it in a list view; vexor-cli keeps it to print; tests record it. Texts are code page 932.
#pragma once

#include <string>

namespace vexor {

inline constexpr int RESULT_COLUMNS = 6;

class ResultListModel;

class ResultList {
public:
    virtual ~ResultList() = default;
    // Rows are numbered from 0 in insertion order.
    virtual void clearRows() = 0;
    // Inserts a row after the last one with keyword in column 0 and "-" in column 1.
    virtual void appendRow(const std::string& keyword) = 0;
    // Column 0 is never changed after insertion.
    virtual void setCell(int row, int column, const std::string& text) = 0;
    virtual void setColumnCaption(int column, const std::string& text) = 0;
    // What a column's header shows when pointed at (its caption whole, when the run began); a
    // list without tips ignores it.
    virtual void setColumnTip(int /*column*/, const std::string& /*text*/) {}
    // The captions and cells as the list shows them now, for writing the list out.
    virtual const ResultListModel& shownRows() const = 0;

    // Around many changes at once (a survey's rows and history): a list that draws may show
    // them only at the end. Calls nest; BulkUpdate pairs them.
    virtual void beginBulkUpdate() {}
    virtual void endBulkUpdate() {}
};

class BulkUpdate {
public:
    explicit BulkUpdate(ResultList& list) : list_(list) { list_.beginBulkUpdate(); }
    ~BulkUpdate() { list_.endBulkUpdate(); }
    BulkUpdate(const BulkUpdate&) = delete;
    BulkUpdate& operator=(const BulkUpdate&) = delete;

private:
    ResultList& list_;
};

}  // namespace vexor
