// The rotation thread.
#include "view/RotationThread.h"

#include <QMetaObject>
#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace vexlor::view {

struct RotationThread::Shared {
    std::atomic<int> InLoop{0};
    std::atomic<int> MostInLoop{0};
    std::atomic<int64_t> Frames{0};
    std::atomic<int64_t> IntervalNs{16'666'667};
    std::mutex Mutex;
    std::condition_variable_any Wake;
    bool Seen = true;  // guarded by mutex

    void SetSeen(bool now) {
        {
            std::lock_guard lock(Mutex);
            Seen = now;
        }
        Wake.notify_all();
    }
};

namespace {

// How often a thread waiting for the view to be seen looks again by itself, in case a change went
// untold (and to notice RotationOn cleared).
constexpr std::chrono::milliseconds kLookAgain{250};

// One thread's wait for the frame it asked the main thread for.
struct FrameWait {
    std::mutex Mutex;
    std::condition_variable_any Done;
    bool Finished = false;
};

}  // namespace

RotationThread::RotationThread(ViewState& view, ViewWindow& form)
    : view_(view),
      viewWindow_(&form),
      receiver_(std::make_unique<QObject>()),
      shared_(std::make_shared<Shared>()) {
    QObject::connect(&form, &ViewWindow::SeenChanged, receiver_.get(),
                     [shared = shared_](bool seen) { shared->SetSeen(seen); });
}

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
    const int now = ++shared_->InLoop;
    int most = shared_->MostInLoop.load();
    while (now > most && !shared_->MostInLoop.compare_exchange_weak(most, now)) {
    }
    LookAgain();
    thread_ = std::jthread([this](std::stop_token stop) { Loop(stop); });
}

void RotationThread::Stop() {
    view_.RotationOn = false;
    Finish();
}

bool RotationThread::Running() const {
    return shared_->InLoop.load() > 0;
}

int RotationThread::MostInLoop() const {
    return shared_->MostInLoop.load();
}

int64_t RotationThread::FramesTurned() const {
    return shared_->Frames.load();
}

void RotationThread::LookAgain() {
    if (!viewWindow_) return;
    shared_->IntervalNs = viewWindow_->FrameInterval().count();
    shared_->SetSeen(viewWindow_->CanBeSeen());
}

void RotationThread::WaitForFrameTime(const std::stop_token& stop,
                                      std::chrono::steady_clock::time_point frameTime) {
    std::unique_lock lock(shared_->Mutex);
    while (!shared_->Seen && view_.RotationOn && !stop.stop_requested()) {
        if (shared_->Wake.wait_for(lock, stop, kLookAgain, [&] { return shared_->Seen; })) break;
        QMetaObject::invokeMethod(
            receiver_.get(), [this] { LookAgain(); }, Qt::QueuedConnection);
    }
    shared_->Wake.wait_until(lock, stop, frameTime, [] { return false; });
}

void RotationThread::Loop(const std::stop_token& stop) {
    using Clock = std::chrono::steady_clock;
    const auto wait = std::make_shared<FrameWait>();
    Clock::time_point frameTime = Clock::now();
    while (view_.RotationOn && !stop.stop_requested()) {
        WaitForFrameTime(stop, frameTime);
        if (!view_.RotationOn || stop.stop_requested()) break;
        // The next frame one interval after this one's time, or at once after a slow frame.
        frameTime = std::max(frameTime + std::chrono::nanoseconds(shared_->IntervalNs.load()),
                             Clock::now());
        {
            std::lock_guard lock(wait->Mutex);
            wait->Finished = false;
        }
        QMetaObject::invokeMethod(
            receiver_.get(),
            [this, stop, wait] {
                TurnFrame(stop);
                {
                    std::lock_guard lock(wait->Mutex);
                    wait->Finished = true;
                }
                wait->Done.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(wait->Mutex);
        wait->Done.wait(lock, stop, [&] { return wait->Finished; });
    }
    --shared_->InLoop;
}

void RotationThread::TurnFrame(const std::stop_token& stop) {
    if (stop.stop_requested() || !view_.RotationOn) return;
    if (viewWindow_ && !viewWindow_->CanBeSeen()) {
        shared_->SetSeen(false);
        return;
    }
    // Advanced here, on the main thread, so that a key's change of AngleZ is never lost.
    view_.AngleZ += view_.SpinStep;
    ++shared_->Frames;
    if (viewWindow_) {
        shared_->IntervalNs =
            viewWindow_->FrameInterval().count();  // the window may change screens
        viewWindow_->Redraw();
    }
}

void SetSpinStepFromSlider(ViewState& view, int position) {
    view.SpinStep = static_cast<float>(static_cast<long double>(position) * 0.001L);
}

}  // namespace vexlor::view
