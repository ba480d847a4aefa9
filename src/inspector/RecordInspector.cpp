// The record inspector's pane.
#include "inspector/RecordInspector.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include "inspector/RecordValuesModel.h"

namespace vexlor::inspector {

RecordInspector::RecordInspector(QWidget* parent)
    : QWidget(parent),
      title_(new QLabel(this)),
      table_(new QTableView(this)),
      values_(new RecordValuesModel(this)) {
    title_->setObjectName(QStringLiteral("recordTitle"));
    title_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    title_->setContentsMargins(4, 2, 4, 2);
    table_->setObjectName(QStringLiteral("recordValues"));
    table_->setModel(values_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab and Shift+Tab go on to the next pane; the arrow keys move inside the table.
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Bytes and offsets line up in a fixed-pitch face.
    QFont fixed(QStringLiteral("DejaVu Sans Mono"), 8);
    fixed.setStyleHint(QFont::Monospace);
    table_->setFont(fixed);
    connect(table_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == RecordValuesModel::kTarget) Follow(index.row());
    });
    connect(table_, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { Follow(index.row()); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title_);
    layout->addWidget(table_, 1);
    Clear();
}

void RecordInspector::Show(const OptStream& stream, int64_t globalOffset, const NumberText& numbers,
                           RecordRef record, int32_t mesh) {
    record.Field = -1;
    if (shown_ == record) return;
    shown_ = record;
    RecordValues values = ValuesOfRecord(stream, globalOffset, record, mesh, numbers);
    title_->setText(values.Rows.empty()
                        ? tr("%1: not in the file").arg(QString::fromStdString(values.Title))
                        : QString::fromStdString(values.Title));
    values_->SetValues(std::move(values));
}

void RecordInspector::Clear() {
    shown_.reset();
    title_->setText(tr("No record chosen"));
    values_->SetValues({});
}

void RecordInspector::Follow(int row) {
    const std::optional<RecordRef> target = values_->TargetOf(row);
    if (target) emit TargetChosen(*target);
}

}  // namespace vexlor::inspector
