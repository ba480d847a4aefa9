// The structure tree as a Qt item model over the reader's own tree data: no widget item per node,
// so trees of many thousand blocks load at once. Node k of the reader's tree is the k-th node in
// pre-order, and its index carries k as its internal id. A node whose block has problems shows a
// warning sign on its picture; each node's tool tip says what its block is.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <array>
#include <functional>
#include <vector>

#include "reader/StructureTree.h"

namespace vexlor::inspector {

class StructureTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    explicit StructureTreeModel(const StructureTree& tree, QObject* parent = nullptr);

    // Around a rebuild of the reader's tree.
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    QModelIndex IndexOfNode(int32_t node) const;
    // Nodes whose blocks have problems (entry k for node k); set with a new tree, between
    // BeginReset and EndReset.
    void SetWarnings(std::vector<bool> warned) { warned_ = std::move(warned); }
    bool HasWarning(int32_t node) const;
    // What a node's tool tip says, asked for when it is shown.
    void SetToolTips(std::function<QString(int32_t)> toolTip) { toolTip_ = std::move(toolTip); }
    // What the root says instead of its label (while no file is open); empty: its label.
    void SetRootCaption(const QString& caption);
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
    QString rootCaption_;
    std::array<QIcon, 4> icons_;
    std::array<QIcon, 4> warnedIcons_;
    std::vector<bool> warned_;
    std::function<QString(int32_t)> toolTip_;
};

}  // namespace vexlor::inspector
