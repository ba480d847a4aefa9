// The table, filter and choices of a panel of rows that lead into the file.
#include "inspector/PlacedRowsPanel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "inspector/PlacedRowsModel.h"
#include "inspector/RowTable.h"

namespace vexlor::inspector {

PlacedRowsPanel::PlacedRowsPanel(PlacedRowsModel* rows, const QString& name, QWidget* parent)
    : QWidget(parent),
      rows_(rows),
      shown_(new QSortFilterProxyModel(this)),
      filter_(new QLineEdit(this)),
      count_(new QLabel(this)),
      table_(new QTableView(this)) {
    rows_->setParent(this);
    shown_->setSourceModel(rows_);
    shown_->setSortRole(PlacedRowsModel::kSortRole);
    shown_->setFilterKeyColumn(-1);
    shown_->setFilterCaseSensitivity(Qt::CaseInsensitive);

    filter_->setObjectName(name + QStringLiteral("Filter"));
    filter_->setPlaceholderText(tr("Filter"));
    filter_->setClearButtonEnabled(true);
    count_->setObjectName(name + QStringLiteral("Count"));

    table_->setObjectName(name + QStringLiteral("Table"));
    table_->setModel(shown_);
    SetUpRowTable(table_);
    // The columns as wide as their contents, the text (every table's last column) the rest: no
    // scrolling sideways to read it.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
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
    // A click chooses on release; the arrow keys choose as they move.
    OnRowChosen(table_, [this](const QModelIndex& index) { ChooseRow(index); });
    UpdateCount();
}

void PlacedRowsPanel::ChooseRow(const QModelIndex& shownIndex) {
    const QModelIndex row = shown_->mapToSource(shownIndex);
    if (!row.isValid()) return;
    const FindingPlace place = rows_->PlaceOf(row.row());
    if (place.Leads()) emit Chosen(place);
}

QString PlacedRowsPanel::Count() const {
    return count_->text();
}

void PlacedRowsPanel::UpdateCount() {
    if (const QString notRun = rows_->NotRunText(); !notRun.isEmpty()) {
        count_->setText(notRun);
        return;
    }
    const int all = rows_->rowCount();
    const int shown = shown_->rowCount();
    const QString rows = all == 1 ? tr("1 row") : tr("%1 rows").arg(all);
    count_->setText(shown == all ? rows : tr("%1 of %2").arg(shown).arg(rows));
}

}  // namespace vexlor::inspector
