// The report list's view.
#include "inspector/ReportListView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QStyledItemDelegate>
#include <algorithm>

#include "inspector/ReportListModel.h"

namespace vexlor::inspector {

namespace {

// The list lays out rows of one size, taken from the first row's size hint; that hint is made as
// wide as the widest line, so the list's width is the report's.
class ReportLineDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const auto* lines = qobject_cast<const ReportListModel*>(index.model());
        if (lines == nullptr || lines->WidestRow() < 0 || lines->WidestRow() == index.row())
            return size;
        const QSize widest =
            QStyledItemDelegate::sizeHint(option, lines->index(lines->WidestRow(), 0));
        return {std::max(size.width(), widest.width()), size.height()};
    }
};

}  // namespace

ReportListView::ReportListView(QWidget* parent) : QListView(parent) {
    setItemDelegate(new ReportLineDelegate(this));
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void ReportListView::keyPressEvent(QKeyEvent* event) {
    // The list's own Ctrl+C copies only the current line; here it copies every selected one.
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void ReportListView::setModel(QAbstractItemModel* model) {
    QListView::setModel(model);
    // Rows keep one size; a new report may have a wider line than the last one.
    connect(model, &QAbstractItemModel::modelReset, this, [this] { scheduleDelayedItemsLayout(); });
}

QString ReportListView::SelectedText() const {
    QModelIndexList rows =
        selectionModel() != nullptr ? selectionModel()->selectedRows() : QModelIndexList();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList lines;
    lines.reserve(rows.size());
    for (const QModelIndex& row : rows)
        lines << row.data().toString();
    return lines.join(u'\n');
}

QString ReportListView::AllText() const {
    // Appended to one text rather than joined from a list of lines: the full report of a large
    // model has millions of them.
    QString text;
    if (model() == nullptr) return text;
    const int count = model()->rowCount();
    for (int row = 0; row < count; ++row) {
        if (row > 0) text += u'\n';
        text += model()->index(row, 0).data().toString();
    }
    return text;
}

void ReportListView::CopySelection() const {
    QApplication::clipboard()->setText(SelectedText());
}

void ReportListView::CopyAll() const {
    QApplication::clipboard()->setText(AllText());
}

void ReportListView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("Copy"), this, [this] { CopySelection(); });
    copy->setEnabled(selectionModel() != nullptr && selectionModel()->hasSelection());
    QAction* all = menu.addAction(tr("Copy all"), this, [this] { CopyAll(); });
    all->setEnabled(model() != nullptr && model()->rowCount() > 0);
    menu.exec(event->globalPos());
}

}  // namespace vexlor::inspector
