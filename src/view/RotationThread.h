// The rotation thread `spinner`: while RotationOn is set it has one frame after another drawn,
// each turning the model by SpinStep about its z axis.
//
// Frames are paced to the screen's refresh (the form's FrameInterval: 60 a second where the rate
// cannot be read), so that the model turns as fast as on a display that waits for its refresh
// whatever the renderer could draw; a frame slower than that is followed at once, never by a
// burst to catch up. While the view cannot be seen nothing is drawn and the model stands still:
// the thread sleeps until the form says it can be seen again.
//
// The thread never draws and never changes the view itself: it posts each frame to the main
// thread, where AngleZ is advanced and Redraw runs, and waits until that frame is done. The wait
// also ends when the thread is told to stop, so stopping never needs the main thread to run
// events: a frame still queued for a stopped thread is dropped when it comes up. At most one
// thread is ever in its loop.
#pragma once

#include <QPointer>
#include <atomic>
#include <chrono>
#include <memory>
#include <stop_token>
#include <thread>

#include "view/ViewState.h"
#include "view/ViewWindow.h"

namespace vexlor::view {

class RotationThread {
  public:
    // The form and the view must outlive the spinner.
    RotationThread(ViewState& view, ViewWindow& form);
    ~RotationThread();
    RotationThread(const RotationThread&) = delete;
    RotationThread& operator=(const RotationThread&) = delete;

    // Starts a new thread (RotationOn is set by the caller) once any earlier one has left its
    // loop. Call on the main thread.
    void Start();
    // Clears RotationOn and returns once the thread has left its loop; no frame of it runs after.
    void Stop();
    // A thread is in its loop.
    bool Running() const;
    // The most threads ever in their loops at one time (1 once a thread has run).
    int MostInLoop() const;
    // Frames the threads have had drawn.
    int64_t FramesTurned() const;

  private:
    struct Shared;
    void Loop(const std::stop_token& stop);
    // On the main thread: one rotation frame, unless the thread was stopped meanwhile or the
    // view cannot be seen.
    void TurnFrame(const std::stop_token& stop);
    // Waits while the view cannot be seen, then until the next frame's time.
    void WaitForFrameTime(const std::stop_token& stop,
                          std::chrono::steady_clock::time_point frameTime);
    // On the main thread: whether the view can be seen now.
    void LookAgain();
    void Finish();

    ViewState& view_;
    QPointer<ViewWindow> viewWindow_;
    std::unique_ptr<QObject> receiver_;  // frames run in its (the main) thread
    std::shared_ptr<Shared> shared_;
    std::jthread thread_;
};

// The track bar moved: SpinStep := position x 0.001, worked in extended precision.
void SetSpinStepFromSlider(ViewState& view, int position);

}  // namespace vexlor::view
