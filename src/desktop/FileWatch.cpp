// Following the open file on disk.
#include "desktop/FileWatch.h"

#include <QFileInfo>

namespace vexlor::desktop {

FileWatch::FileWatch(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMilliseconds);
    connect(&settle_, &QTimer::timeout, this, &FileWatch::Settled);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        fileSignalled_ = true;
        settle_.start();
    });
    // Another file of the folder, or this one made anew: the stamps tell which.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
}

void FileWatch::Note() {
    const QFileInfo info(path_);
    existed_ = info.exists();
    size_ = existed_ ? info.size() : -1;
    modified_ = existed_ ? info.lastModified() : QDateTime();
}

void FileWatch::Watch(const QString& path) {
    Stop();
    path_ = QFileInfo(path).absoluteFilePath();
    Note();
    if (existed_) watcher_.addPath(path_);
    watcher_.addPath(QFileInfo(path_).absolutePath());
}

void FileWatch::Stop() {
    settle_.stop();
    if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
    path_.clear();
    fileSignalled_ = false;
}

void FileWatch::Settled() {
    if (path_.isEmpty()) return;
    const QFileInfo info(path_);
    const bool exists = info.exists();
    // A file replaced by a rename is no longer watched under its name.
    if (exists && !watcher_.files().contains(path_)) watcher_.addPath(path_);
    const bool differs = exists != existed_ ||
                         (exists && (info.size() != size_ || info.lastModified() != modified_));
    const bool changed = differs || (fileSignalled_ && exists);
    fileSignalled_ = false;
    if (!changed) return;
    Note();
    emit Changed(exists);
}

}  // namespace vexlor::desktop
