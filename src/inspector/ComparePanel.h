// The compare panel: the differences between the open file and the file it was compared with,
// in a panel of rows that lead to their places in the open file.
#pragma once

#include "inspector/CompareTableModel.h"
#include "inspector/PlacedRowsPanel.h"

namespace vexlor::inspector {

class ComparePanel : public PlacedRowsPanel {
    Q_OBJECT
  public:
    explicit ComparePanel(QWidget* parent = nullptr)
        : ComparePanel(new CompareTableModel, parent) {}

    CompareTableModel* Rows() const { return rows_; }

  private:
    ComparePanel(CompareTableModel* rows, QWidget* parent)
        : PlacedRowsPanel(rows, QStringLiteral("compare"), parent), rows_(rows) {}

    CompareTableModel* rows_;
};

}  // namespace vexlor::inspector
