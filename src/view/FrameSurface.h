// The native OpenGL window on which the view's frames are drawn. It fills the view's panel and
// takes no input (the mouse's events go to the panel beneath it, the keys to its window). The
// panel draws each frame straight into the window's back buffer, with the axis triad over it;
// each paint asks the panel for the frame (the one just drawn, or the last one again) and shows
// it. A paint never draws a new frame.
//
// A native window is the cheap way to the screen: an OpenGL widget is composed with the rest of
// its window on every frame, which under a software renderer costs several times the frame; and
// drawing into the window rather than into a framebuffer copied to it saves the software
// renderer's shader copy of every pixel.
#pragma once

#include <QImage>
#include <QOpenGLTextureBlitter>
#include <QOpenGLWindow>
#include <QRect>
#include <functional>

#include "view/FrameTransform.h"

namespace vexlor::view {

class FrameSurface : public QOpenGLWindow {
  public:
    // `initialize` runs when a context is new; `drawFrame` at each paint, with the context
    // current, puts the frame and its triad into the back buffer and says whether there is one
    // (none: black).
    FrameSurface(std::function<void()> initialize, std::function<bool()> drawFrame);
    ~FrameSurface() override;

    // The axis triad for the frame's rotation, and its picture drawn over the frame in the back
    // buffer (with the context current).
    void SetTriad(const Mat3& rotation);
    void DrawTriad();

  protected:
    void initializeGL() override;
    void paintGL() override;

  private:
    void ReleaseGl();

    std::function<void()> initialize_;
    std::function<bool()> drawFrame_;
    QImage triad_;     // painted in the triad's area, its alpha premultiplied
    QRect triadArea_;  // in the frame's pixels
    bool triadChanged_ = false;
    QOpenGLTextureBlitter blitter_;
    unsigned triadTexture_ = 0;
};

}  // namespace vexlor::view
