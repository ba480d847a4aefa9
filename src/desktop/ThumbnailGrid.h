// The browser's grid of thumbnails: a list view in icon mode over the browser's own file model,
// sharing the file list's selection, each file shown by its 128 x 128 picture once the background
// jobs (ThumbnailJobs.h) have it, by its file icon until then. The grid only sets pictures; every
// picture is made or read off the window's thread.
#pragma once

#include <QHash>
#include <QListView>
#include <QPixmap>
#include <QStringList>

#include "desktop/ThumbnailJobs.h"

class QFileSystemModel;

namespace vexlor::desktop {

class ThumbnailGrid : public QListView {
    Q_OBJECT
  public:
    ThumbnailGrid(ThumbnailDraw draw, ThumbnailCache cache, QWidget* parent = nullptr);

    // Shows the files under `root` of `files` (the file list's model and folder).
    void ShowFolder(QFileSystemModel* files, const QModelIndex& root);
    // Asks for the pictures of the shown files that have none yet.
    void RequestMissing();
    // Drops the pictures asked for and not yet made.
    void CancelPending();

    // The picture of `path`; null while it is being made or when it could not be made.
    QPixmap Thumbnail(const QString& path) const { return pictures_.value(path); }
    // What the grid shows for `path`: its picture, or a grey square while it is being made, with
    // a warning sign when it could not be made.
    QPixmap Shown(const QString& path) const;
    // Why `path` has no picture; empty when it has one or is still being made.
    QString Problem(const QString& path) const { return problems_.value(path); }
    // Files asked for whose picture (or problem) has not arrived yet.
    qsizetype Pending() const { return pending_.size(); }
    ThumbnailJobs& Jobs() { return jobs_; }

  signals:
    // Every file shown has its picture or its problem.
    void AllArrived();

  private:
    void Arrived(const QString& path, const QImage& picture, const QString& problem);

    ThumbnailJobs jobs_;
    QHash<QString, QPixmap> pictures_;
    QHash<QString, QString> problems_;
    QSet<QString> pending_;
    QPixmap waiting_, failed_;
};

}  // namespace vexlor::desktop
