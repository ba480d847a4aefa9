// The rotation thread.
#include "RotationThread.h"

#include <QMetaObject>
#include <condition_variable>
#include <mutex>

namespace vexlor::view {

struct RotationThread::Shared {
    std::atomic<int> inLoop{0};
    std::atomic<int> mostInLoop{0};
    std::atomic<int64_t> frames{0};
};

namespace {

// One thread's wait for the frame it asked the main thread for.
struct FrameWait {
    std::mutex mutex;
    std::condition_variable_any done;
    bool finished = false;
};

}  // namespace

RotationThread::RotationThread(ViewState& view, ViewWindow& form)
    : view_(view),
      form_(&form),
      receiver_(std::make_unique<QObject>()),
      shared_(std::make_shared<Shared>()) {}

RotationThread::~RotationThread() {
    Finish();
    // Frames still queued for the receiver go with it.
    receiver_.reset();
}

void RotationThread::Finish() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    thread_.join();
}

void RotationThread::Start() {
    Finish();
    // Counted from here, so that Running() holds as soon as Start returns.
    const int now = ++shared_->inLoop;
    int most = shared_->mostInLoop.load();
    while (now > most && !shared_->mostInLoop.compare_exchange_weak(most, now)) {
    }
    thread_ = std::jthread([this](std::stop_token stop) { Loop(stop); });
}

void RotationThread::Stop() {
    view_.RotationOn = false;
    Finish();
}

bool RotationThread::Running() const {
    return shared_->inLoop.load() > 0;
}

int RotationThread::MostInLoop() const {
    return shared_->mostInLoop.load();
}

int64_t RotationThread::FramesTurned() const {
    return shared_->frames.load();
}

void RotationThread::Loop(const std::stop_token& stop) {
    const auto wait = std::make_shared<FrameWait>();
    while (view_.RotationOn && !stop.stop_requested()) {
        {
            std::lock_guard lock(wait->mutex);
            wait->finished = false;
        }
        QMetaObject::invokeMethod(
            receiver_.get(),
            [this, stop, wait] {
                TurnFrame(stop);
                {
                    std::lock_guard lock(wait->mutex);
                    wait->finished = true;
                }
                wait->done.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(wait->mutex);
        wait->done.wait(lock, stop, [&] { return wait->finished; });
    }
    --shared_->inLoop;
}

void RotationThread::TurnFrame(const std::stop_token& stop) {
    if (stop.stop_requested() || !view_.RotationOn) return;
    // Advanced here, on the main thread, so that a key's change of AngleZ is never lost.
    view_.AngleZ += view_.SpinStep;
    ++shared_->frames;
    if (form_) form_->Redraw();
}

void SetSpinStepFromSlider(ViewState& view, int position) {
    view.SpinStep = static_cast<float>(static_cast<long double>(position) * 0.001L);
}

}  // namespace vexlor::view
