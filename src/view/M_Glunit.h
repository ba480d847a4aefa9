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

#include "ModelStore.h"
#include "Projection.h"
#include "ViewState.h"
#include "WireframeGl.h"

class QOpenGLFramebufferObject;
class QOpenGLFunctions_2_1;

namespace vexlor::view {

// Where the time of the frames went; read by the benchmark.
struct FrameTimes {
    int64_t frames = 0;
    double renderSeconds = 0;  // drawing frames into the framebuffer (OpenGL calls)
    int64_t presents = 0;
    double presentSeconds = 0;  // Qt putting the window on the screen
};

class GlPanel : public QOpenGLWidget {
    Q_OBJECT
  public:
    GlPanel(ViewState& view, QWidget* parent);
    ~GlPanel() override;

    void SetModel(ModelStore* store) { store_ = store; }
    ModelStore* Model() const { return store_; }

    // After each load: viewport, model extent (into the ViewState and the store), projection,
    // markers cleared, first frame. The caller writes the caption from the new extent.
    void SetupScene();
    // One frame; before the first scene set-up it has no visible effect.
    void RenderScene();
    void RedrawView() { RenderScene(); }

    // The last frame drawn (black before the first).
    QImage GrabFrame();
    const ViewBox& Projection() const { return box_; }

    // With `finish`, each frame waits for OpenGL to complete it, so that its time is counted.
    void SetFinishFrames(bool finish) { finishFrames_ = finish; }
    const FrameTimes& Times() const { return times_; }
    void AddPresentTime(double seconds);
    const WireframeRenderer::Refills& RefillCounts() const { return wireframe_.RefillCounts(); }

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
    ModelStore* store_ = nullptr;
    ViewBox box_;
    bool sceneSet_ = false;      // frames are drawn only after a scene set-up
    bool framePending_ = false;  // a frame was asked for before the context existed
    bool finishFrames_ = false;
    QOpenGLFunctions_2_1* gl_ = nullptr;
    std::unique_ptr<QOpenGLFramebufferObject> frame_;
    WireframeRenderer wireframe_;
    FrameTimes times_;
};

}  // namespace vexlor::view
