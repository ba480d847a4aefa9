// The rotation thread.
#include "SpinThread.h"

#include <QMetaObject>
#include <condition_variable>
#include <mutex>

namespace vexlor::view {

struct Spinner::Shared {
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

Spinner::Spinner(ViewState& view, TGLform& form)
    : view_(view),
      form_(&form),
      receiver_(std::make_unique<QObject>()),
      shared_(std::make_shared<Shared>()) {}

Spinner::~Spinner() {
    Finish();
    // Frames still queued for the receiver go with it.
    receiver_.reset();
}

void Spinner::Finish() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    thread_.join();
}

void Spinner::Start() {
    Finish();
    // Counted from here, so that Running() holds as soon as Start returns.
    const int now = ++shared_->inLoop;
    int most = shared_->mostInLoop.load();
    while (now > most && !shared_->mostInLoop.compare_exchange_weak(most, now)) {
    }
    thread_ = std::jthread([this](std::stop_token stop) { Loop(stop); });
}

void Spinner::Stop() {
    view_.RotationOn = false;
    Finish();
}

bool Spinner::Running() const {
    return shared_->inLoop.load() > 0;
}

int Spinner::MostInLoop() const {
    return shared_->mostInLoop.load();
}

int64_t Spinner::FramesTurned() const {
    return shared_->frames.load();
}

void Spinner::Loop(const std::stop_token& stop) {
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

void Spinner::TurnFrame(const std::stop_token& stop) {
    if (stop.stop_requested() || !view_.RotationOn) return;
    // Advanced here, on the main thread, so that a key's change of AngleZ is never lost.
    view_.AngleZ += view_.SpinStep;
    ++shared_->frames;
    if (form_) form_->NewTr();
}

void SpinSliderChange(ViewState& view, int position) {
    view.SpinStep = static_cast<float>(static_cast<long double>(position) * 0.001L);
}

}  // namespace vexlor::view
