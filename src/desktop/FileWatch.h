// Watches the open file on disk and says when it has changed: once the file has been quiet for a
// moment after a change, since a program writing it often does so in several steps. A file that
// is replaced (written elsewhere and renamed over it) or removed and written again is still
// followed, through its folder.
#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace vexlor::desktop {

class FileWatch : public QObject {
    Q_OBJECT
  public:
    // How long a change must be followed by no other before it is told.
    static constexpr int kSettleMilliseconds = 150;

    explicit FileWatch(QObject* parent = nullptr);

    // Watches `path` from now on, as it is now (after each open).
    void Watch(const QString& path);
    void Stop();
    const QString& Path() const { return path_; }

  signals:
    // The file differs from what it was at Watch; `exists` is false when it is gone.
    void Changed(bool exists);

  private:
    void Settled();
    void Note();

    QFileSystemWatcher watcher_;
    QTimer settle_;
    QString path_;
    bool fileSignalled_ = false;
    bool existed_ = false;
    qint64 size_ = -1;
    QDateTime modified_;
};

}  // namespace vexlor::desktop
