// The recent files' list and menu.
#include "desktop/RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace vexlor::desktop {

namespace {
const QString kKey = QStringLiteral("recentFiles");
}  // namespace

RecentFiles::RecentFiles(QMenu* menu, QSettings* settings, QObject* parent)
    : QObject(parent), menu_(menu), settings_(settings) {
    if (settings_ != nullptr) paths_ = settings_->value(kKey).toStringList().mid(0, kMost);
    for (int i = 0; i < kMost; ++i) {
        QAction* item = menu_->addAction(QString());
        item->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, i] {
            if (i >= paths_.size()) return;
            // A copy: opening the file changes the list.
            const QString path = paths_[i];
            emit OpenRequested(path);
        });
        items_ << item;
    }
    none_ = menu_->addAction(tr("No recent files"));
    none_->setEnabled(false);
    separator_ = menu_->addSeparator();
    clear_ = menu_->addAction(tr("&Clear the list"));
    clear_->setObjectName(QStringLiteral("clearRecentFiles"));
    connect(clear_, &QAction::triggered, this, &RecentFiles::Clear);
    // A file deleted or moved away since drops out before the menu shows.
    connect(menu_, &QMenu::aboutToShow, this, &RecentFiles::DropMissing);
    Fill();
}

void RecentFiles::DropMissing() {
    const qsizetype dropped =
        paths_.removeIf([](const QString& path) { return !QFileInfo::exists(path); });
    if (dropped == 0) return;
    Save();
    Fill();
}

void RecentFiles::Add(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    paths_.removeAll(full);
    paths_.prepend(full);
    while (paths_.size() > kMost)
        paths_.removeLast();
    Save();
    Fill();
}

void RecentFiles::Clear() {
    paths_.clear();
    Save();
    Fill();
}

void RecentFiles::Save() {
    if (settings_ != nullptr) settings_->setValue(kKey, paths_);
}

void RecentFiles::Fill() {
    for (qsizetype i = 0; i < items_.size(); ++i) {
        QAction* item = items_[i];
        item->setVisible(i < paths_.size());
        if (i >= paths_.size()) continue;
        // 1 ... 9 and 1&0 underlined; an "&" of the path is shown as it is.
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        QString shown = QDir::toNativeSeparators(paths_[i]);
        shown.replace(u'&', QStringLiteral("&&"));
        item->setText(number + u' ' + shown);
    }
    none_->setVisible(paths_.isEmpty());
    separator_->setVisible(!paths_.isEmpty());
    clear_->setVisible(!paths_.isEmpty());
}

}  // namespace vexlor::desktop
