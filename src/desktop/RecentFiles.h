// The files opened last, newest first, at most ten, as File > Recent files lists them: "&1
// /path/to/file.opt". They are kept in the settings when the window has settings.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QSettings;

namespace vexlor::desktop {

class RecentFiles : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMost = 10;

    // Fills `menu` and keeps it up to date; reads the list from `settings` (may be null).
    RecentFiles(QMenu* menu, QSettings* settings, QObject* parent = nullptr);

    // A file just opened goes to the top (once, however often it was opened).
    void Add(const QString& path);
    void Clear();
    // The files that no longer exist taken off the list (done whenever the menu opens).
    void DropMissing();
    const QStringList& Paths() const { return paths_; }

  signals:
    void OpenRequested(const QString& path);

  private:
    void Fill();
    void Save();

    QMenu* menu_;
    QSettings* settings_;
    QStringList paths_;
    // Made once and shown or hidden, so that an item may change the list it belongs to.
    QList<QAction*> items_;
    QAction* none_;
    QAction* separator_;
    QAction* clear_;
};

}  // namespace vexlor::desktop
