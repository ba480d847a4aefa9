// The repair panel's rows: each change a repair will write (offset, block, mesh, face, field, old
// and new value), then each flagged thing it will not write with the reason. Each row knows where
// it leads: the field's bytes, and the face it belongs to.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "inspector/plain/FindingPlace.h"
#include "repair/RepairPlan.h"

namespace vexlor::desktop {

class RepairTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { kOffset, kBlock, kMesh, kFace, kField, kOld, kNew, kColumnCount };

    explicit RepairTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void SetPlan(RepairPlan plan);
    // No plan: the repair was not run for the open file.
    void Clear();
    bool HasPlan() const { return hasPlan_; }
    const RepairPlan& Plan() const { return plan_; }
    // The faces of the changes, (face block position, place in the block), for the view's marks.
    std::vector<std::pair<int64_t, int32_t>> ChangedFaces() const;
    inspector::FindingPlace PlaceOf(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    RepairPlan plan_;
    bool hasPlan_ = false;
};

}  // namespace vexlor::desktop
