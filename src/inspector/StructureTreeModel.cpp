// The structure tree model.
#include "inspector/StructureTreeModel.h"

#include "inspector/TreeImages.h"

namespace vexlor::inspector {

StructureTreeModel::StructureTreeModel(const StructureTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
    // A selected node always shows the plain image: the selected mode of every icon is image 0.
    const QPixmap plain = TreeImage(kImagePlain);
    for (int32_t image = 0; image < 4; ++image) {
        const auto i = static_cast<size_t>(image);
        icons_[i].addPixmap(TreeImage(image), QIcon::Normal);
        icons_[i].addPixmap(plain, QIcon::Selected);
        warnedIcons_[i].addPixmap(WithWarning(TreeImage(image)), QIcon::Normal);
        warnedIcons_[i].addPixmap(WithWarning(plain), QIcon::Selected);
    }
}

bool StructureTreeModel::HasWarning(int32_t node) const {
    return node >= 0 && static_cast<size_t>(node) < warned_.size() &&
           warned_[static_cast<size_t>(node)];
}

QModelIndex StructureTreeModel::IndexOfNode(int32_t node) const {
    if (node < 0 || node >= tree_.Count()) return {};
    return createIndex(tree_.RowOf(node), 0, static_cast<quintptr>(node));
}

QModelIndex StructureTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (!parent.isValid()) return row == 0 ? createIndex(0, 0, quintptr{0}) : QModelIndex();
    const TreeNode& node = tree_.Node(NodeOf(parent));
    if (static_cast<size_t>(row) >= node.Children.size()) return {};
    return createIndex(row, 0, static_cast<quintptr>(node.Children[static_cast<size_t>(row)]));
}

QModelIndex StructureTreeModel::parent(const QModelIndex& child) const {
    const int32_t node = NodeOf(child);
    if (node <= 0) return {};
    return IndexOfNode(tree_.Node(node).Parent);
}

int StructureTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return 1;  // the root, "OPTfile"
    if (parent.column() != 0) return 0;
    return static_cast<int>(tree_.Node(NodeOf(parent)).Children.size());
}

int StructureTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant StructureTreeModel::data(const QModelIndex& index, int role) const {
    const int32_t node = NodeOf(index);
    if (node < 0 || node >= tree_.Count()) return {};
    const TreeNode& item = tree_.Node(node);
    if (role == Qt::DisplayRole)
        return node == 0 && !rootCaption_.isEmpty() ? rootCaption_
                                                    : QString::fromStdString(item.Label);
    if (role == Qt::DecorationRole) {
        const int32_t image =
            item.ImageIndex >= 0 && item.ImageIndex < 4 ? item.ImageIndex : kImagePlain;
        return (HasWarning(node) ? warnedIcons_ : icons_)[static_cast<size_t>(image)];
    }
    if (role == Qt::ToolTipRole && toolTip_) return toolTip_(node);
    return {};
}

void StructureTreeModel::SetRootCaption(const QString& caption) {
    rootCaption_ = caption;
    const QModelIndex root = IndexOfNode(0);
    if (root.isValid()) emit dataChanged(root, root, {Qt::DisplayRole});
}

Qt::ItemFlags StructureTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;  // labels are read-only
}

}  // namespace vexlor::inspector
