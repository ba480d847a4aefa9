// The thumbnails of a folder made in the background, on as many threads as there are processors:
// each is taken from the thumbnail cache when it holds one for the file as it is now, else drawn
// and kept there (or a failure entry kept). Asking for another folder's thumbnails, Cancel, or
// the object's end drops the work not yet started; finished pictures arrive on the object's own
// (the window's) thread through Ready, and only for the current request.
#pragma once

#include <QImage>
#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <memory>

#include "desktop/ThumbnailCache.h"
#include "reader/Result.h"

namespace vexlor::desktop {

// Draws a `side` x `side` thumbnail of the file; called on worker threads, several at once.
using ThumbnailDraw = std::function<Expected<QImage>(const QString& path, int side)>;

class ThumbnailJobs : public QObject {
    Q_OBJECT
  public:
    ThumbnailJobs(ThumbnailDraw draw, ThumbnailCache cache, QObject* parent = nullptr);
    ~ThumbnailJobs() override;

    // False without a way to draw: nothing is asked for then.
    bool CanDraw() const { return static_cast<bool>(draw_); }
    // Replaces the request: the thumbnails of `paths`, in that order.
    void Request(const QStringList& paths);
    void Cancel();
    // Blocks until the work started has ended (the benchmarks and the end of the object).
    void WaitForDone();

  signals:
    // `picture` is null when the file could not be drawn; `problem` then says why.
    void Ready(const QString& path, const QImage& picture, const QString& problem);

  private:
    void Deliver(uint64_t request, const QString& path, const QImage& picture,
                 const QString& problem);

    ThumbnailDraw draw_;
    ThumbnailCache cache_;
    QThreadPool pool_;
    uint64_t request_ = 0;
    std::shared_ptr<std::atomic<bool>> cancelled_;
};

}  // namespace vexlor::desktop
