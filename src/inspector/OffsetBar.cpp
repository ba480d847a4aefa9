// The "Go to offset" bar's controls and keys.
#include "inspector/OffsetBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace vexlor::inspector {

OffsetBar::OffsetBar(QWidget* parent)
    : QWidget(parent),
      field_(new QLineEdit(this)),
      go_(new QToolButton(this)),
      status_(new QLabel(this)),
      close_(new QToolButton(this)) {
    auto* caption = new QLabel(tr("Go to offset:"), this);
    caption->setBuddy(field_);
    field_->setObjectName(QStringLiteral("offsettext"));
    field_->setPlaceholderText(tr("1234 or 0x4D2"));
    field_->installEventFilter(this);
    go_->setObjectName(QStringLiteral("offsetgo"));
    go_->setText(tr("Go"));
    go_->setToolTip(tr("Go to the offset (Enter)"));
    status_->setObjectName(QStringLiteral("offsetstatus"));
    // One line, never pushing the bar wider than its dock; the whole text is its tool tip.
    status_->setWordWrap(false);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    status_->setMinimumWidth(
        status_->fontMetrics().horizontalAdvance(QStringLiteral("0x00000000 is in")));
    close_->setObjectName(QStringLiteral("offsetclose"));
    close_->setText(QStringLiteral("\u00D7"));
    close_->setToolTip(tr("Close (Escape)"));
    close_->setAutoRaise(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(caption);
    layout->addWidget(field_);
    layout->addWidget(go_);
    layout->addWidget(status_, 1);
    layout->addWidget(close_);

    connect(go_, &QToolButton::clicked, this, [this] { emit GoRequested(field_->text()); });
    connect(close_, &QToolButton::clicked, this, &OffsetBar::Close);
}

QString OffsetBar::Status() const {
    return status_->text();
}

void OffsetBar::Open() {
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void OffsetBar::Close() {
    hide();
    status_->clear();
    emit Closed();
}

void OffsetBar::SetStatus(const QString& status, bool error) {
    status_->setStyleSheet(error ? QStringLiteral("color: #b00000;") : QString());
    status_->setText(status);
    status_->setToolTip(status);
}

bool OffsetBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit GoRequested(field_->text());
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            Close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vexlor::inspector
