// The structure tree filtered by what a node is called: a node stays when its label or its tool
// tip (what its block is: "hardpoint: Laser cannon") holds the filter text (any case), or when one
// of its descendants' does, so every match keeps its path from the root.
// Indexes of this model are not the structure tree model's: NodeOf and IndexOfNode map between
// them and the reader's node numbers.
#pragma once

#include <QSortFilterProxyModel>

class QTreeView;

namespace vexlor::inspector {

class SearchBar;
class StructureTreeModel;

class TreeFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    explicit TreeFilterModel(QObject* parent = nullptr);

    void SetTree(StructureTreeModel* tree);
    // An empty text shows every node.
    void SetFilterText(const QString& text);
    QString FilterText() const { return text_; }

    // The reader's node number of an index of this model, -1 for none.
    int32_t NodeOf(const QModelIndex& index) const;
    // The index of a node; invalid when the filter hides it.
    QModelIndex IndexOfNode(int32_t node) const;
    // Whether the node's own label or tool tip holds the filter text (not only a descendant's).
    bool IsMatch(const QModelIndex& index) const;
    // Nodes whose own label or tool tip holds the filter text.
    int MatchCount() const { return matchCount_; }
    // The next (or previous) matching node after `from` in tree order, wrapping around; invalid
    // when none matches.
    QModelIndex NextMatch(const QModelIndex& from, bool forward = true) const;
    QString Status() const;

    // The search bar: typing filters the tree shown in `view` (expanded, so that every match is
    // in sight), Enter and Shift+Enter make the next or previous match current, closing the bar
    // shows the whole tree again.
    void Attach(SearchBar* bar, QTreeView* view);

  signals:
    void StatusChanged(const QString& status);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    int CountMatches(const QModelIndex& sourceParent) const;
    // Whether an index (of either model) names a node the filter text describes.
    bool Describes(const QModelIndex& index) const;

    QString text_;
    int matchCount_ = 0;
};

}  // namespace vexlor::inspector
