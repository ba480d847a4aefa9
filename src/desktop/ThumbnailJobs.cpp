// The thumbnail jobs on a thread pool of their own.
#include "desktop/ThumbnailJobs.h"

#include <QFile>
#include <QThread>

namespace vexlor::desktop {

ThumbnailJobs::ThumbnailJobs(ThumbnailDraw draw, ThumbnailCache cache, QObject* parent)
    : QObject(parent), draw_(std::move(draw)), cache_(std::move(cache)) {
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    // The window comes first: the pictures take what processor time it leaves.
    pool_.setThreadPriority(QThread::LowPriority);
}

ThumbnailJobs::~ThumbnailJobs() {
    Cancel();
    WaitForDone();
}

void ThumbnailJobs::Cancel() {
    if (cancelled_) cancelled_->store(true);
    pool_.clear();
    ++request_;
}

void ThumbnailJobs::WaitForDone() {
    pool_.waitForDone();
}

void ThumbnailJobs::Request(const QStringList& paths) {
    Cancel();
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    const uint64_t request = request_;
    for (const QString& path : paths) {
        pool_.start([this, request, path, cancelled = cancelled_] {
            if (cancelled->load()) return;
            const ThumbnailCache::Entry cached = cache_.Find(path);
            QImage picture = cached.Picture;
            QString problem;
            if (cached.Kind == ThumbnailCache::Found::Failure) {
                problem = tr("no picture: the model could not be drawn");
            } else if (cached.Kind == ThumbnailCache::Found::Nothing) {
                const Expected<QImage> drawn = draw_(path, kNormalThumbnailSide);
                if (drawn.Ok()) {
                    picture = drawn.Value();
                    cache_.Store(path, picture);  // without the cache, drawn again next time
                } else {
                    problem = QString::fromLocal8Bit(
                        (drawn.Message() + (drawn.Reason().empty() ? "" : ": " + drawn.Reason()))
                            .c_str());
                    cache_.StoreFailure(path);
                }
            }
            if (cancelled->load()) return;
            QMetaObject::invokeMethod(
                this,
                [this, request, path, picture, problem] {
                    Deliver(request, path, picture, problem);
                },
                Qt::QueuedConnection);
        });
    }
}

void ThumbnailJobs::Deliver(uint64_t request, const QString& path, const QImage& picture,
                            const QString& problem) {
    if (request == request_) emit Ready(path, picture, problem);
}

}  // namespace vexlor::desktop
