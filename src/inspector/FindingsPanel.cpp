// The findings panel's table, filter and choices.
#include "inspector/FindingsPanel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "inspector/FindingsTableModel.h"

namespace vexlor::app {

FindingsPanel::FindingsPanel(QWidget* parent)
    : QWidget(parent),
      rows_(new FindingsTableModel(this)),
      shown_(new QSortFilterProxyModel(this)),
      filter_(new QLineEdit(this)),
      count_(new QLabel(this)),
      table_(new QTableView(this)) {
    shown_->setSourceModel(rows_);
    shown_->setSortRole(FindingsTableModel::kSortRole);
    shown_->setFilterKeyColumn(-1);
    shown_->setFilterCaseSensitivity(Qt::CaseInsensitive);

    filter_->setObjectName(QStringLiteral("findingsFilter"));
    filter_->setPlaceholderText(tr("Filter"));
    filter_->setClearButtonEnabled(true);
    count_->setObjectName(QStringLiteral("findingsCount"));

    table_->setObjectName(QStringLiteral("findingsTable"));
    table_->setModel(shown_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    // The columns as wide as their contents, the text the rest: no scrolling sideways to read it.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(FindingsTableModel::kText,
                                                     QHeaderView::Stretch);
    table_->setTextElideMode(Qt::ElideMiddle);
    // The rows keep the order they were found in until a header is clicked.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(filter_, 1);
    top->addWidget(count_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(table_, 1);

    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        shown_->setFilterFixedString(text);
        UpdateCount();
    });
    connect(rows_, &QAbstractItemModel::modelReset, this, [this] { UpdateCount(); });
    // A click chooses on release; the arrow keys choose as they move. A row that becomes current
    // because the rows changed under it is not chosen.
    connect(table_, &QTableView::clicked, this, &FindingsPanel::ChooseRow);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (table_->hasFocus() && QApplication::mouseButtons() == Qt::NoButton)
                    ChooseRow(current);
            });
    UpdateCount();
}

void FindingsPanel::ChooseRow(const QModelIndex& shownIndex) {
    const QModelIndex row = shown_->mapToSource(shownIndex);
    if (!row.isValid()) return;
    const FindingPlace& place = rows_->PlaceOf(row.row());
    if (place.Leads()) emit Chosen(place);
}

QString FindingsPanel::Count() const {
    return count_->text();
}

void FindingsPanel::UpdateCount() {
    const int all = rows_->rowCount();
    const int shown = shown_->rowCount();
    const QString rows = all == 1 ? tr("1 row") : tr("%1 rows").arg(all);
    count_->setText(shown == all ? rows : tr("%1 of %2").arg(shown).arg(rows));
}

}  // namespace vexlor::app
