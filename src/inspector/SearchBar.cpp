// The search bar's controls and keys.
#include "inspector/SearchBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace vexlor::inspector {

SearchBar::SearchBar(QWidget* parent)
    : QWidget(parent),
      field_(new QLineEdit(this)),
      kinds_(new QComboBox(this)),
      previous_(new QToolButton(this)),
      next_(new QToolButton(this)),
      status_(new QLabel(this)),
      close_(new QToolButton(this)) {
    field_->setObjectName(QStringLiteral("searchtext"));
    field_->setPlaceholderText(tr("Find"));
    field_->setClearButtonEnabled(true);
    // Room for a typed name or a row of hex bytes.
    field_->setMinimumWidth(
        field_->fontMetrics().horizontalAdvance(QStringLiteral("3F 80 00 00 3F")));
    field_->installEventFilter(this);
    kinds_->setObjectName(QStringLiteral("searchkind"));
    kinds_->hide();
    previous_->setObjectName(QStringLiteral("searchprevious"));
    previous_->setText(tr("Previous"));
    previous_->setToolTip(tr("Previous match (Shift+Enter)"));
    next_->setObjectName(QStringLiteral("searchnext"));
    next_->setText(tr("Next"));
    next_->setToolTip(tr("Next match (Enter)"));
    status_->setObjectName(QStringLiteral("searchstatus"));
    status_->setMinimumWidth(
        status_->fontMetrics().horizontalAdvance(QStringLiteral("0000 of 0000000 so far")));
    close_->setObjectName(QStringLiteral("searchclose"));
    close_->setText(QStringLiteral("\u00D7"));
    close_->setToolTip(tr("Close the search (Escape)"));
    close_->setAutoRaise(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(field_, 1);
    layout->addWidget(kinds_);
    layout->addWidget(previous_);
    layout->addWidget(next_);
    layout->addWidget(status_);
    layout->addWidget(close_);

    connect(field_, &QLineEdit::textChanged, this, &SearchBar::TextChanged);
    connect(kinds_, &QComboBox::currentIndexChanged, this, &SearchBar::KindChanged);
    connect(previous_, &QToolButton::clicked, this, &SearchBar::PreviousRequested);
    connect(next_, &QToolButton::clicked, this, &SearchBar::NextRequested);
    connect(close_, &QToolButton::clicked, this, &SearchBar::Close);
}

QString SearchBar::Text() const {
    return field_->text();
}

void SearchBar::SetKinds(const QStringList& kinds) {
    kinds_->clear();
    kinds_->addItems(kinds);
    kinds_->setVisible(!kinds.isEmpty());
}

int SearchBar::Kind() const {
    return std::max(0, kinds_->currentIndex());
}

QString SearchBar::Status() const {
    return status_->text();
}

void SearchBar::SetStatus(const QString& status) {
    status_->setText(status);
}

void SearchBar::Open() {
    const bool reopened = isHidden();
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
    // Closing cleared the search; the text left in the field searches again.
    if (reopened && !field_->text().isEmpty()) emit TextChanged(field_->text());
}

void SearchBar::Close() {
    hide();
    emit Closed();
}

bool SearchBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool shift = (key->modifiers() & Qt::ShiftModifier) != 0;
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_F3:
                emit(shift ? PreviousRequested() : NextRequested());
                return true;
            case Qt::Key_Escape:
                Close();
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vexlor::inspector
