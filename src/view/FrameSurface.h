// The native OpenGL window through which the view's frames reach the screen. It fills the view's
// panel and takes no input (the mouse's events go to the panel beneath it, the keys to its
// window). Each paint copies the panel's last frame and paints the axis triad over it; a paint
// never draws a new frame.
//
// A native window is the cheap way to the screen: an OpenGL widget is composed with the rest of
// its window on every frame, which under a software renderer costs several times the frame.
#pragma once

#include <QImage>
#include <QOpenGLTextureBlitter>
#include <QOpenGLWindow>
#include <QRect>
#include <functional>

#include "view/FrameTransform.h"

class QOpenGLFramebufferObject;

namespace vexlor::view {

class FrameSurface : public QOpenGLWindow {
  public:
    // `initialize` runs when a context is new, `beforePaint` before each paint (with the
    // context current).
    FrameSurface(std::function<void()> initialize, std::function<void()> beforePaint);
    ~FrameSurface() override;

    // The frame each paint copies (none: black).
    void SetFrame(QOpenGLFramebufferObject* frame) { frame_ = frame; }
    // The axis triad painted over it, for the frame's rotation.
    void SetTriad(const Mat3& rotation);

  protected:
    void initializeGL() override;
    void paintGL() override;

  private:
    void ReleaseGl();

    std::function<void()> initialize_;
    std::function<void()> beforePaint_;
    QOpenGLFramebufferObject* frame_ = nullptr;
    QImage triad_;     // painted in the triad's area, its alpha premultiplied
    QRect triadArea_;  // in the frame's pixels
    bool triadChanged_ = false;
    QOpenGLTextureBlitter blitter_;
    unsigned triadTexture_ = 0;
};

}  // namespace vexlor::view
