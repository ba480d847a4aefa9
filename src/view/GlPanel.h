// The panel `p` of the 3D view and its OpenGL context: scene set-up after a load, one frame from
// the ViewState on request, and the last frame kept so that uncovering the window shows it again.
//
// Frames are drawn into a framebuffer of the panel's size the moment they are asked for; the
// panel's paint only copies that framebuffer to the screen, so a repaint never draws a new frame
// and a frame is finished when RenderScene returns, whenever Qt gets round to showing it.
#pragma once

#include <QImage>
#include <QOpenGLWidget>
#include <cstdint>
#include <memory>

#include "OptModel.h"
#include "Projection.h"
#include "ViewSelection.h"
#include "ViewState.h"
#include "WireframeRenderer.h"

class QOpenGLFramebufferObject;
class QOpenGLFunctions_2_1;

namespace vexlor::view {

class GlPanel : public QOpenGLWidget {
    Q_OBJECT
  public:
    GlPanel(ViewState& view, QWidget* parent);
    ~GlPanel() override;

    // The model drawn; none draws nothing.
    void SetModel(const OptModel* model) { model_ = model; }
    const OptModel* Model() const { return model_; }
    // What is drawn of it: the red mesh, the level of detail, the markers.
    ViewSelection& Selection() { return selection_; }

    // After each load: viewport, model extent (into the ViewState), projection, markers cleared,
    // first frame. The caller writes the caption from the new extent.
    void SetupScene();
    // One frame; before the first scene set-up it has no visible effect.
    void RenderScene();

    // The last frame drawn (black before the first).
    QImage GrabFrame();
    // Frames drawn so far.
    int64_t FramesDrawn() const { return framesDrawn_; }

  protected:
    void initializeGL() override;
    void paintGL() override;

  private:
    QSize FrameSize() const;
    void EnsureFramebuffer();
    // With the context current.
    void DrawFrame();
    void ReleaseGl();

    ViewState& view_;
    const OptModel* model_ = nullptr;
    ViewSelection selection_;
    ViewBox box_;
    bool sceneSet_ = false;      // frames are drawn only after a scene set-up
    bool framePending_ = false;  // a frame was asked for before the context existed
    QOpenGLFunctions_2_1* gl_ = nullptr;
    std::unique_ptr<QOpenGLFramebufferObject> frame_;
    WireframeRenderer wireframe_;
    int64_t framesDrawn_ = 0;
};

}  // namespace vexlor::view
