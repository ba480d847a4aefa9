// A table whose rows each lead to a place in the open file (the findings, the differences of a
// comparison), as the panels over them need it: a sort key per cell and the place of each row.
#pragma once

#include <QAbstractTableModel>

#include "inspector/plain/FindingPlace.h"

namespace vexlor::inspector {

class PlacedRowsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Numbers as numbers, so that columns sort by value; rows without one sort first.
    static constexpr int kSortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    virtual FindingPlace PlaceOf(int row) const = 0;
    // What the panel says instead of its row count when the rows were never made for the open
    // file; empty when they were.
    virtual QString NotRunText() const { return {}; }
};

}  // namespace vexlor::inspector
