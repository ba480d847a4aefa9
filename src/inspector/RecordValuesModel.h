// The record inspector's table as a Qt model over a record's values (RecordValues): one row per
// value with its name, offset, type, raw bytes, decoded value and, for a face's indices, the
// record the index names, shown as a link.
#pragma once

#include <QAbstractTableModel>

#include "inspector/plain/RecordValues.h"

namespace vexlor::inspector {

class RecordValuesModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { kName, kOffset, kType, kBytes, kValue, kTarget, kColumnCount };

    explicit RecordValuesModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void SetValues(RecordValues values);
    const RecordValues& Values() const { return values_; }
    // The record the value in `row` names; nothing for a row without a link.
    std::optional<RecordRef> TargetOf(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    RecordValues values_;
};

}  // namespace vexlor::inspector
