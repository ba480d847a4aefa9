// The structure tree filter.
#include "inspector/TreeFilterModel.h"

#include <QTreeView>

#include "inspector/SearchBar.h"
#include "inspector/StructureTreeModel.h"

namespace vexlor::inspector {

TreeFilterModel::TreeFilterModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setRecursiveFilteringEnabled(true);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setFilterRole(Qt::DisplayRole);
    // The count follows the tree when the reader's tree is rebuilt (another file).
    connect(this, &QAbstractItemModel::modelReset, this, [this] {
        matchCount_ = text_.isEmpty() || sourceModel() == nullptr ? 0 : CountMatches({});
        emit StatusChanged(Status());
    });
}

void TreeFilterModel::SetTree(StructureTreeModel* tree) {
    setSourceModel(tree);
}

void TreeFilterModel::SetFilterText(const QString& text) {
    text_ = text;
    setFilterFixedString(text);
    matchCount_ = text.isEmpty() || sourceModel() == nullptr ? 0 : CountMatches({});
    emit StatusChanged(Status());
}

int TreeFilterModel::CountMatches(const QModelIndex& sourceParent) const {
    int count = 0;
    const QAbstractItemModel* source = sourceModel();
    const int rows = source->rowCount(sourceParent);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex child = source->index(row, 0, sourceParent);
        if (Describes(child)) ++count;
        count += CountMatches(child);
    }
    return count;
}

int32_t TreeFilterModel::NodeOf(const QModelIndex& index) const {
    return StructureTreeModel::NodeOf(mapToSource(index));
}

QModelIndex TreeFilterModel::IndexOfNode(int32_t node) const {
    const auto* tree = qobject_cast<const StructureTreeModel*>(sourceModel());
    return tree != nullptr ? mapFromSource(tree->IndexOfNode(node)) : QModelIndex();
}

bool TreeFilterModel::IsMatch(const QModelIndex& index) const {
    return !text_.isEmpty() && index.isValid() && Describes(index);
}

bool TreeFilterModel::Describes(const QModelIndex& index) const {
    return index.data(Qt::DisplayRole).toString().contains(text_, Qt::CaseInsensitive) ||
           index.data(Qt::ToolTipRole).toString().contains(text_, Qt::CaseInsensitive);
}

bool TreeFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (text_.isEmpty()) return true;
    return Describes(sourceModel()->index(sourceRow, 0, sourceParent));
}

QModelIndex TreeFilterModel::NextMatch(const QModelIndex& from, bool forward) const {
    if (text_.isEmpty() || rowCount() == 0) return {};
    // The shown nodes in pre-order: the filter keeps only matches and their ancestors, so the
    // walk is short however large the tree.
    QModelIndexList order;
    QModelIndexList stack;
    for (int row = rowCount() - 1; row >= 0; --row)
        stack << index(row, 0);
    while (!stack.isEmpty()) {
        const QModelIndex node = stack.takeLast();
        order << node;
        for (int row = rowCount(node) - 1; row >= 0; --row)
            stack << index(row, 0, node);
    }
    const qsizetype count = order.size();
    const qsizetype at = order.indexOf(from);
    for (qsizetype step = 1; step <= count; ++step) {
        const qsizetype start = at < 0 ? (forward ? -1 : count) : at;
        const qsizetype i = ((forward ? start + step : start - step) % count + count) % count;
        if (IsMatch(order[i])) return order[i];
    }
    return {};
}

QString TreeFilterModel::Status() const {
    if (text_.isEmpty()) return {};
    if (matchCount_ == 0) return tr("No matches");
    return matchCount_ == 1 ? tr("1 node") : tr("%1 nodes").arg(matchCount_);
}

void TreeFilterModel::Attach(SearchBar* bar, QTreeView* view) {
    connect(bar, &SearchBar::TextChanged, this, [this, view](const QString& text) {
        SetFilterText(text);
        if (!text.isEmpty()) view->expandAll();
    });
    // A new tree (another file) is filtered too, and its matches are in sight as well.
    connect(this, &QAbstractItemModel::modelReset, view, [this, view] {
        if (!text_.isEmpty()) view->expandAll();
    });
    const auto step = [this, view](bool forward) {
        const QModelIndex match = NextMatch(view->currentIndex(), forward);
        if (match.isValid()) view->setCurrentIndex(match);
    };
    connect(bar, &SearchBar::NextRequested, this, [step] { step(true); });
    connect(bar, &SearchBar::PreviousRequested, this, [step] { step(false); });
    connect(bar, &SearchBar::Closed, this, [this, view] {
        const int32_t node = NodeOf(view->currentIndex());
        SetFilterText(QString());
        // The chosen node stays chosen and in sight in the whole tree.
        const QModelIndex index = IndexOfNode(node);
        if (index.isValid()) {
            view->setCurrentIndex(index);
            view->scrollTo(index);
        }
    });
    connect(this, &TreeFilterModel::StatusChanged, bar, &SearchBar::SetStatus);
}

}  // namespace vexlor::inspector
