// Scene set-up and frames of the 3D view.
#include "view/GlPanel.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_2_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QScreen>
#include <QTimer>
#include <QtDebug>
#include <algorithm>

#include "view/FrameSurface.h"
#include "view/Wireframe.h"

namespace vexlor::view {

GlPanel::GlPanel(ViewState& view, QWidget* parent)
    : QWidget(parent),
      view_(view),
      surface_(new FrameSurface([this] { InitializeGl(); }, [this] { return PaintFrame(); })),
      container_(QWidget::createWindowContainer(surface_, this)),
      visibility_(new ViewVisibility(this, surface_)) {
    // The container owns the surface; neither takes the panel's input.
    container_->setAttribute(Qt::WA_TransparentForMouseEvents);
    container_->setFocusPolicy(Qt::NoFocus);
    container_->setGeometry(rect());
    clock_.start();
    connect(visibility_, &ViewVisibility::SeenChanged, this, [this](bool seen) {
        // The frame asked for while the panel could not be seen.
        if (seen && framePending_) surface_->update();
        emit SeenChanged(seen);
    });
}

GlPanel::~GlPanel() {
    // The surface goes with the panel's children, after this object: no call back into it.
    if (surface_->context() != nullptr) disconnect(surface_->context(), nullptr, this, nullptr);
    ReleaseGl();
}

void GlPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    container_->setGeometry(rect());
    // A panel in a dock changes size with it: the frames follow, the model keeps its
    // proportions (ViewBoxOf) and its place in the middle of the frame.
    if (!sceneSet_) return;
    const QSize size = FrameSize();
    if (size == QSize(view_.ViewportWidth, view_.ViewportHeight)) return;
    view_.ViewportWidth = size.width();
    view_.ViewportHeight = size.height();
    RequestFrame();
}

void GlPanel::InitializeGl() {
    gl_ = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_2_1>(surface_->context());
    if (gl_ == nullptr) {
        qWarning("3D view: the OpenGL context offers no OpenGL 2.1 functions; nothing is drawn");
        return;
    }
    renderer_.Create();
    connect(surface_->context(), &QOpenGLContext::aboutToBeDestroyed, this, &GlPanel::ReleaseGl,
            Qt::UniqueConnection);
    // A frame asked for before the panel was first shown, or lost with an earlier context,
    // is drawn at the first paint.
    framePending_ = sceneSet_;
}

void GlPanel::ReleaseGl() {
    if (gl_ == nullptr) return;
    surface_->makeCurrent();
    frame_.reset();
    windowHoldsLast_ = false;
    framebufferHoldsLast_ = false;
    renderer_.Destroy();
    surface_->doneCurrent();
    gl_ = nullptr;
}

QSize GlPanel::FrameSize() const {
    const qreal ratio = devicePixelRatioF();
    return {qMax(1, qRound(width() * ratio)), qMax(1, qRound(height() * ratio))};
}

QSize GlPanel::SurfacePixels() const {
    return surface_->size() * surface_->devicePixelRatio();
}

void GlPanel::EnsureFramebuffer() {
    const QSize size(qMax(1, view_.ViewportWidth), qMax(1, view_.ViewportHeight));
    if (frame_ && frame_->size() == size) return;
    // The shaded mode needs the depth buffer; the wireframe never tests it.
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::Depth);
    frame_ = std::make_unique<QOpenGLFramebufferObject>(size, format);
    framebufferHoldsLast_ = false;
}

void GlPanel::SetupScene() {
    const QSize size = FrameSize();
    view_.ViewportWidth = size.width();
    view_.ViewportHeight = size.height();
    static const std::vector<DrawFace> kNoFaces;
    const ModelExtent extent = ComputeModelExtent(model_ != nullptr ? model_->DrawFaces : kNoFaces);
    view_.ExtentMax = extent.Max;
    view_.ExtentMin = extent.Min;
    selection_.Box.reset();
    selection_.Hardpoint.reset();
    selection_.HighlightFace = -1;  // a face of the model before
    selection_.MarkedFaces.clear();
    renderer_.Invalidate();
    counted_ = false;
    lastChoice_.reset();  // its levels were counted for the model before
    lastFullMs_ = 0;
    sceneSet_ = true;
    RenderScene();
}

void GlPanel::RenderScene() {
    if (!sceneSet_) return;
    if (gl_ == nullptr || !CanBeSeen()) {
        framePending_ = true;
        return;
    }
    // Left current: releasing and binding the window's context again each frame costs the
    // software renderer a look at the window's size through the X server.
    surface_->makeCurrent();
    DrawFrame(Target::Window, Show::AtOnce);
}

void GlPanel::FinishFrames() {
    if (gl_ == nullptr) return;
    surface_->makeCurrent();
    gl_->glFinish();
    surface_->doneCurrent();
}

std::chrono::nanoseconds GlPanel::FrameInterval() const {
    const QScreen* shown = screen();
    const double rate = shown != nullptr ? shown->refreshRate() : 0;
    // A rate no display has is one that could not be read.
    return std::chrono::nanoseconds(qRound64(1e9 / (rate >= 20 && rate <= 1000 ? rate : 60.0)));
}

void GlPanel::RequestFrame() {
    if (!sceneSet_) return;
    framePending_ = true;
    if (frameRequested_) return;
    frameRequested_ = true;
    const int64_t wait = lastFrameAt_ + FrameInterval().count() - clock_.nsecsElapsed();
    QTimer::singleShot(std::chrono::milliseconds(std::max<int64_t>(0, wait / 1'000'000)),
                       Qt::PreciseTimer, this, [this] {
                           frameRequested_ = false;
                           if (framePending_) RenderScene();
                       });
}

void GlPanel::SetDragging(bool dragging) {
    dragging_ = dragging;
    if (!dragging && lastChoice_) RequestFrame();
}

FrameScene GlPanel::Scene() const {
    FrameScene scene;
    if (model_ != nullptr) scene.Faces = std::span<const DrawFace>(model_->DrawFaces);
    scene.CurrentMesh = selection_.CurrentMesh;
    scene.ShowLod = selection_.ShowLod;
    scene.Box = selection_.Box ? &*selection_.Box : nullptr;
    scene.Hardpoint = selection_.Hardpoint ? &*selection_.Hardpoint : nullptr;
    return scene;
}

FrameLook GlPanel::Look() const {
    return {selection_.Shaded, selection_.HighlightFace, selection_.MarkedFaces};
}

void GlPanel::DrawFrame(Target target, Show show) {
    lastFrameAt_ = clock_.nsecsElapsed();
    drawnCamera_ = CameraOf(view_);
    lastChoice_.reset();
    if (dragging_ && lastFullMs_ > coarseAfterMs_) {
        if (!counted_) coarse_.Count(Scene().Faces);
        counted_ = true;
        lastChoice_ = coarse_.Choose(selection_.ShowLod, lastFullMs_, coarseAfterMs_);
    }
    windowHoldsLast_ = false;
    framebufferHoldsLast_ = false;
    drawnAny_ = true;
    surface_->SetTriad(ViewRotation(drawnCamera_.AngleX, drawnCamera_.AngleY, drawnCamera_.AngleZ));
    const bool filled = DrawLast(target);
    // Finished, so that its time is the frame's (a frame that filled arrays is no measure): put
    // on the screen at once, which finishes it, or finished here and shown by a later paint.
    if (show == Show::AtOnce && surface_->isExposed()) {
        surface_->context()->swapBuffers(surface_);
        windowHoldsLast_ = false;
    } else {
        gl_->glFinish();
        if (show == Show::AtOnce) surface_->update();
    }
    const double ms = static_cast<double>(clock_.nsecsElapsed() - lastFrameAt_) * 1e-6;
    if (!lastChoice_ && !filled) lastFullMs_ = ms;
    framePending_ = false;
    ++framesDrawn_;
    emit FrameDrawn();
}

bool GlPanel::DrawLast(Target target) {
    if (target == Target::Framebuffer) {
        EnsureFramebuffer();
        frame_->bind();
    } else {
        QOpenGLFramebufferObject::bindDefault();
    }
    FrameScene scene = Scene();
    if (lastChoice_) {
        scene.CoarseLevels = lastChoice_->LevelOfMesh;
        scene.CoarseKey = lastChoice_->Key;
    }
    const bool filled = renderer_.Draw(*gl_, ViewBoxOf(view_), drawnCamera_, view_.ViewportWidth,
                                       view_.ViewportHeight, scene, Look());
    if (target == Target::Framebuffer) {
        frame_->release();
        framebufferHoldsLast_ = true;
    } else {
        // In the same pass as the frame: the software renderer's threads wake once for both.
        surface_->DrawTriad();
        windowHoldsLast_ = true;
        windowFrameSize_ = SurfacePixels();
    }
    return filled;
}

bool GlPanel::PaintFrame() {
    if (gl_ == nullptr || !sceneSet_) return false;
    if (framePending_) {
        DrawFrame(Target::Window, Show::ByThePaint);
    } else if (!windowHoldsLast_ || windowFrameSize_ != SurfacePixels()) {
        if (!drawnAny_) return false;
        DrawLast(Target::Window);
    }
    // The paint shows the back buffer and leaves it undefined.
    windowHoldsLast_ = false;
    return true;
}

QImage GlPanel::GrabFrame() {
    if (gl_ == nullptr || (!drawnAny_ && !framePending_)) {
        QImage black(FrameSize(), QImage::Format_RGB32);
        black.fill(Qt::black);
        return black;
    }
    surface_->makeCurrent();
    if (framePending_ && sceneSet_) {
        DrawFrame(Target::Framebuffer, Show::ByThePaint);
        surface_->update();  // the screen shows it too, once the panel can be seen
    } else if (!framebufferHoldsLast_ ||
               frame_->size() != QSize(view_.ViewportWidth, view_.ViewportHeight)) {
        DrawLast(Target::Framebuffer);
    }
    QImage image = frame_->toImage().convertToFormat(QImage::Format_RGB32);
    surface_->doneCurrent();
    return image;
}

}  // namespace vexlor::view
