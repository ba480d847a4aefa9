// The reload bar's controls.
#include "desktop/ReloadBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace vexlor::desktop {

ReloadBar::ReloadBar(QWidget* parent)
    : QFrame(parent),
      message_(new QLabel(this)),
      reload_(new QPushButton(tr("&Reload"), this)),
      autoReload_(new QCheckBox(tr("&Auto reload"), this)),
      close_(new QToolButton(this)) {
    setObjectName(QStringLiteral("reloadBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 244, 190));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    message_->setObjectName(QStringLiteral("reloadMessage"));
    reload_->setObjectName(QStringLiteral("reloadButton"));
    autoReload_->setObjectName(QStringLiteral("autoReloadBox"));
    autoReload_->setToolTip(tr("Reload the file whenever it changes on disk"));
    close_->setObjectName(QStringLiteral("reloadClose"));
    close_->setText(QStringLiteral("\u00D7"));
    close_->setToolTip(tr("Keep what is shown"));
    close_->setAutoRaise(true);
    for (QWidget* control : {static_cast<QWidget*>(reload_), static_cast<QWidget*>(autoReload_),
                             static_cast<QWidget*>(close_)})
        control->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 2, 2);
    layout->addWidget(message_, 1);
    layout->addWidget(reload_);
    layout->addWidget(autoReload_);
    layout->addWidget(close_);

    connect(reload_, &QPushButton::clicked, this, [this] {
        hide();
        emit ReloadRequested();
    });
    connect(autoReload_, &QCheckBox::toggled, this, &ReloadBar::AutoReloadToggled);
    connect(close_, &QToolButton::clicked, this, &QWidget::hide);
    hide();
}

void ReloadBar::ShowChange(const QString& fileName, bool exists) {
    message_->setText(exists ? tr("%1 has changed on disk.").arg(fileName)
                             : tr("%1 is no longer on disk.").arg(fileName));
    reload_->setVisible(exists);
    show();
}

QString ReloadBar::Message() const {
    return message_->text();
}

}  // namespace vexlor::desktop
