// The findings panel: the open file's problems and the last check's findings, in a panel of rows
// that lead to their places.
#pragma once

#include "inspector/FindingsTableModel.h"
#include "inspector/PlacedRowsPanel.h"

namespace vexlor::inspector {

class FindingsPanel : public PlacedRowsPanel {
    Q_OBJECT
  public:
    explicit FindingsPanel(QWidget* parent = nullptr)
        : FindingsPanel(new FindingsTableModel, parent) {}

    FindingsTableModel* Rows() const { return rows_; }

  private:
    FindingsPanel(FindingsTableModel* rows, QWidget* parent)
        : PlacedRowsPanel(rows, QStringLiteral("findings"), parent), rows_(rows) {}

    FindingsTableModel* rows_;
};

}  // namespace vexlor::inspector
