// The panel `p` of the 3D view and its OpenGL context: scene set-up after a load, one frame from
// the ViewState on request, and the last frame kept so that uncovering the window shows it again.
//
// Frames are drawn by the frame renderer (the designed wireframe, or the shaded mode, and the
// highlighted face, as the selection says) into a framebuffer of the panel's size with a depth
// buffer, the moment they are asked for; the panel's paint only copies that framebuffer to the
// screen, so a repaint never draws a new frame and a frame is finished when RenderScene returns,
// whenever Qt gets round to showing it.
#pragma once

#include <QImage>
#include <QOpenGLWidget>
#include <cstdint>
#include <memory>

#include "FrameRenderer.h"
#include "OptModel.h"
#include "Projection.h"
#include "ViewSelection.h"
#include "ViewState.h"

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
    // What is drawn of it: the red mesh, the level of detail, the markers, the shaded mode and
    // the highlighted face.
    ViewSelection& Selection() { return selection_; }
    const ViewSelection& Selection() const { return selection_; }
    // The faces and markers of the frames, and how they are drawn, as the selection says.
    FrameScene Scene() const;
    FrameLook Look() const;

    // After each load: viewport, model extent (into the ViewState), projection, markers cleared,
    // first frame. The caller writes the caption from the new extent.
    void SetupScene();
    // One frame; before the first scene set-up it has no visible effect.
    void RenderScene();

    // The last frame drawn (black before the first).
    QImage GrabFrame();
    // Frames drawn so far, and the camera of the last.
    int64_t FramesDrawn() const { return framesDrawn_; }
    const Camera& DrawnCamera() const { return drawnCamera_; }

  signals:
    void FrameDrawn();

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
    FrameRenderer renderer_;
    int64_t framesDrawn_ = 0;
    Camera drawnCamera_;
};

}  // namespace vexlor::view
