// The panel `p` of the 3D view and its OpenGL context: scene set-up after a load, one frame from
// the ViewState on request, and the last frame drawn again, unchanged, when uncovering the window
// needs it.
//
// Frames are drawn by the frame renderer (the designed wireframe, or the shaded mode, and the
// highlighted face, as the selection says) the moment they are asked for, straight into the back
// buffer of a native window filling the panel (FrameSurface.h) with the axis triad over them, and
// shown at once; a frame is finished when RenderScene returns. A paint draws only a frame that
// was asked for and not drawn yet; otherwise it draws the last frame again, with its camera and
// its level of detail, whatever the ViewState says now. The frame is drawn into a framebuffer of
// the panel's size only when its picture is taken (GrabFrame). The mouse's events reach the panel
// itself.
//
// While the panel cannot be seen (ViewVisibility.h) a frame asked for is not drawn: the last one
// asked for is drawn when the panel shows again (or its picture is taken). While the mouse drags
// and the last full frame took longer than kCoarseAfterMs, frames draw a coarser level of detail
// (CoarseLevels.h); the full frame follows when the drag ends.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "reader/OptModel.h"
#include "view/CoarseLevels.h"
#include "view/FrameRenderer.h"
#include "view/Projection.h"
#include "view/ViewSelection.h"
#include "view/ViewState.h"
#include "view/ViewVisibility.h"

class QOpenGLFramebufferObject;
class QOpenGLFunctions_2_1;

namespace vexlor::view {

// Full frames slower than this make the frames of a drag coarse.
inline constexpr double kCoarseAfterMs = 30.0;

class FrameSurface;

class GlPanel : public QWidget {
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
    // One frame once the events of the moment have run: all the requests until then give one.
    void RequestFrame();
    // Whether the panel can be seen now; SeenChanged tells of changes.
    bool CanBeSeen() const { return visibility_->Seen(); }
    // The time between two frames of its screen's refresh (60 a second where that cannot be
    // read); frames asked for by RequestFrame come no closer together.
    std::chrono::nanoseconds FrameInterval() const;

    // The mouse drags the view (frames may be coarse) or has let it go (a coarse frame is followed
    // by the full one).
    void SetDragging(bool dragging);
    // Full frames slower than this make a drag's frames coarse (kCoarseAfterMs unless changed).
    void SetCoarseAfter(double ms) { coarseAfterMs_ = ms; }

    // The last frame drawn (black before the first).
    QImage GrabFrame();
    // OpenGL can draw (the context exists, once the panel was first shown).
    bool ContextReady() const { return gl_ != nullptr; }
    // Waits until OpenGL has finished the frames asked for.
    void FinishFrames();
    // Frames drawn so far, and the camera of the last.
    int64_t FramesDrawn() const { return framesDrawn_; }
    const Camera& DrawnCamera() const { return drawnCamera_; }
    // A frame is asked for and not drawn yet.
    bool FrameWanted() const { return framePending_ || frameRequested_; }
    // Whether the last frame drew a coarser level, and how long the last full frame took.
    bool LastFrameCoarse() const { return lastChoice_.has_value(); }
    double LastFullFrameMs() const { return lastFullMs_; }

  signals:
    void FrameDrawn();
    void SeenChanged(bool seen);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Where a frame is drawn: the window's back buffer, or the framebuffer read by GrabFrame;
    // and whether a frame in the window is shown at once (with the window exposed) or by the
    // paint that drew it or comes next.
    enum class Target { Window, Framebuffer };
    enum class Show { AtOnce, ByThePaint };

    // With the surface's context current: a new context, and a paint (whether the back buffer
    // holds a frame to show).
    void InitializeGl();
    bool PaintFrame();
    QSize FrameSize() const;
    QSize SurfacePixels() const;
    void EnsureFramebuffer();
    // With the context current: a new frame from the ViewState, and the last frame again.
    void DrawFrame(Target target, Show show);
    bool DrawLast(Target target);
    void ReleaseGl();

    ViewState& view_;
    const OptModel* model_ = nullptr;
    ViewSelection selection_;
    bool sceneSet_ = false;      // frames are drawn only after a scene set-up
    bool framePending_ = false;  // a frame was asked for before the context existed
    QOpenGLFunctions_2_1* gl_ = nullptr;
    std::unique_ptr<QOpenGLFramebufferObject> frame_;  // made by the first GrabFrame
    bool drawnAny_ = false;              // a frame was drawn since the first scene set-up
    bool windowHoldsLast_ = false;       // the back buffer holds the last frame, not yet shown
    QSize windowFrameSize_;              // the surface's size in pixels when it was drawn there
    bool framebufferHoldsLast_ = false;  // frame_ holds the last frame
    FrameRenderer renderer_;
    int64_t framesDrawn_ = 0;
    Camera drawnCamera_;
    FrameSurface* surface_;
    QWidget* container_;  // holds the surface
    ViewVisibility* visibility_;
    bool frameRequested_ = false;  // a RequestFrame waits for the event loop
    QElapsedTimer clock_;
    int64_t lastFrameAt_ = 0;  // clock_'s nanoseconds at the start of the last frame
    CoarseLevels coarse_;
    bool counted_ = false;  // coarse_ counts the faces of this scene set-up
    bool dragging_ = false;
    double coarseAfterMs_ = kCoarseAfterMs;
    std::optional<CoarseLevels::Choice> lastChoice_;  // the last frame's coarse levels
    double lastFullMs_ = 0;
};

}  // namespace vexlor::view
