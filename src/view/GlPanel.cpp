// Scene set-up and frames of the 3D view.
#include "GlPanel.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_2_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QtDebug>

#include "Wireframe.h"

namespace vexlor::view {

GlPanel::GlPanel(ViewState& view, QWidget* parent) : QOpenGLWidget(parent), view_(view) {}

GlPanel::~GlPanel() {
    // The base class destroys the context after this object is gone: no call back into it.
    if (context() != nullptr) disconnect(context(), nullptr, this, nullptr);
    ReleaseGl();
}

void GlPanel::initializeGL() {
    gl_ = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_2_1>(context());
    if (gl_ == nullptr) {
        qWarning("3D view: the OpenGL context offers no OpenGL 2.1 functions; nothing is drawn");
        return;
    }
    renderer_.Create();
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GlPanel::ReleaseGl,
            Qt::UniqueConnection);
    // A frame asked for before the panel was first shown, or lost with an earlier context,
    // is drawn at the first paint.
    framePending_ = sceneSet_;
}

void GlPanel::ReleaseGl() {
    if (gl_ == nullptr) return;
    makeCurrent();
    frame_.reset();
    renderer_.Destroy();
    doneCurrent();
    gl_ = nullptr;
}

QSize GlPanel::FrameSize() const {
    const qreal ratio = devicePixelRatioF();
    return {qMax(1, qRound(width() * ratio)), qMax(1, qRound(height() * ratio))};
}

void GlPanel::EnsureFramebuffer() {
    const QSize size(qMax(1, view_.ViewportWidth), qMax(1, view_.ViewportHeight));
    if (frame_ && frame_->size() == size) return;
    // The shaded mode needs the depth buffer; the wireframe never tests it.
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::Depth);
    frame_ = std::make_unique<QOpenGLFramebufferObject>(size, format);
}

void GlPanel::SetupScene() {
    const QSize size = FrameSize();
    view_.ViewportWidth = size.width();
    view_.ViewportHeight = size.height();
    static const std::vector<DrawFace> kNoFaces;
    const ModelExtent extent = ComputeModelExtent(model_ != nullptr ? model_->DrawFaces : kNoFaces);
    view_.ExtentMax = extent.Max;
    view_.ExtentMin = extent.Min;
    box_ = ProjectionBox(extent.Max, extent.Min);
    selection_.Box.reset();
    selection_.Hardpoint.reset();
    selection_.HighlightFace = -1;  // a face of the model before
    renderer_.Invalidate();
    sceneSet_ = true;
    RenderScene();
}

void GlPanel::RenderScene() {
    if (!sceneSet_) return;
    if (!isValid() || gl_ == nullptr) {
        framePending_ = true;
        return;
    }
    makeCurrent();
    DrawFrame();
    doneCurrent();
    update();
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
    return {selection_.Shaded, selection_.HighlightFace};
}

void GlPanel::DrawFrame() {
    EnsureFramebuffer();
    frame_->bind();
    drawnCamera_ = CameraOf(view_);
    renderer_.Draw(*gl_, box_, drawnCamera_, view_.ViewportWidth, view_.ViewportHeight, Scene(),
                   Look());
    frame_->release();
    framePending_ = false;
    ++framesDrawn_;
    emit FrameDrawn();
}

void GlPanel::paintGL() {
    if (gl_ == nullptr) return;
    if (framePending_ && sceneSet_) DrawFrame();
    if (frame_) {
        const QSize target = FrameSize();
        QOpenGLFramebufferObject::blitFramebuffer(nullptr, QRect(QPoint(), target), frame_.get(),
                                                  QRect(QPoint(), frame_->size()));
    } else {
        gl_->glClearColor(0, 0, 0, 1);
        gl_->glClear(GL_COLOR_BUFFER_BIT);
    }
}

QImage GlPanel::GrabFrame() {
    if (!isValid() || gl_ == nullptr || (!frame_ && !framePending_)) {
        QImage black(FrameSize(), QImage::Format_RGB32);
        black.fill(Qt::black);
        return black;
    }
    makeCurrent();
    if (framePending_ && sceneSet_ && gl_ != nullptr) DrawFrame();
    QImage image = frame_->toImage().convertToFormat(QImage::Format_RGB32);
    doneCurrent();
    return image;
}

}  // namespace vexlor::view
