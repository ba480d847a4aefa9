// The structure tree as a Qt item model over the reader's own tree data: no widget item per node,
// so trees of many thousand blocks load at once. Node k of the reader's tree is the k-th node in
// pre-order, and its index carries k as its internal id.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <array>

#include "StructureTree.h"

namespace vexlor::app {

class StructureTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    explicit StructureTreeModel(const StructureTree& tree, QObject* parent = nullptr);

    // Around a rebuild of the reader's tree.
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    QModelIndex IndexOfNode(int32_t node) const;
    static int32_t NodeOf(const QModelIndex& index) {
        return index.isValid() ? static_cast<int32_t>(index.internalId()) : -1;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    const StructureTree& tree_;
    std::array<QIcon, 4> icons_;
};

}  // namespace vexlor::app
