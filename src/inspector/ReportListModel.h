// The report list as a Qt list model over its lines. A face block of thousands of faces gives
// tens of thousands of lines, the full report of a large model millions; the lines are held
// packed (ReportLines) and the list view asks only for the rows it shows.
#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <string>
#include <vector>

#include "reader/ReportLines.h"

namespace vexlor::inspector {

class ReportListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit ReportListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    // Shows these lines in place of the ones before, none of them marked.
    void SetLines(ReportLines lines);
    // Shows `mark` before the line in `row` (the check's verdict).
    void MarkRow(int row, const QIcon& mark);
    int MarkedRow() const { return markedRow_; }
    const ReportLines& Lines() const { return lines_; }
    // The row of the longest line (the widest, in the list's fixed-pitch font); -1 when empty.
    int WidestRow() const { return widestRow_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override;

    // A report line as the list shows it: the zero bytes of texture names become "·" so that the
    // name keeps its nine visible characters.
    static QString DisplayText(std::string_view line);

  private:
    ReportLines lines_;
    int widestRow_ = -1;
    int markedRow_ = -1;
    QIcon mark_;
};

}  // namespace vexlor::inspector
