// The record inspector: the chosen record (under the hex view's current byte, the picked face,
// the chosen report line) field by field from the format's schema, under a line that names it.
// A face's vertex and vertex normal indices link to the records they name: a click on the link,
// or Enter on its row, asks to go there.
#pragma once

#include <QWidget>
#include <optional>

#include "reader/NumberText.h"
#include "reader/OptStream.h"
#include "reader/RecordPlaces.h"

class QLabel;
class QTableView;

namespace vexlor::inspector {

class RecordValuesModel;

class RecordInspector : public QWidget {
    Q_OBJECT
  public:
    explicit RecordInspector(QWidget* parent = nullptr);

    // Shows the record (its Field is ignored) of the file's bytes; the indices of a face are
    // resolved as the walk of mesh `mesh` (any mesh for -1) resolved them. A record shown already
    // is not read again.
    void Show(const OptStream& stream, int64_t globalOffset, const NumberText& numbers,
              RecordRef record, int32_t mesh = -1);
    // Nothing shown (another file was opened).
    void Clear();
    const std::optional<RecordRef>& Shown() const { return shown_; }

    QTableView* Table() const { return table_; }
    RecordValuesModel* Values() const { return values_; }

  signals:
    void TargetChosen(const vexlor::RecordRef& target);

  private:
    void Follow(int row);

    QLabel* title_;
    QTableView* table_;
    RecordValuesModel* values_;
    std::optional<RecordRef> shown_;
};

}  // namespace vexlor::inspector
