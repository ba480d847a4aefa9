// Scene set-up and frames of the 3D view.
#include "GlPanel.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_2_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QtDebug>

#include "ViewMath.h"
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
    wireframe_.Create();
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
    wireframe_.Destroy();
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
    frame_ = std::make_unique<QOpenGLFramebufferObject>(size);
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
    selection_.Highlight.reset();
    wireframe_.Invalidate();
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

void GlPanel::DrawFrame() {
    EnsureFramebuffer();
    frame_->bind();
    QOpenGLFunctions_2_1& gl = *gl_;
    gl.glViewport(0, 0, view_.ViewportWidth, view_.ViewportHeight);
    gl.glMatrixMode(GL_PROJECTION);
    gl.glLoadIdentity();
    gl.glOrtho(box_.Left, box_.Right, box_.Bottom, box_.Top, box_.Near, box_.Far);
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    gl.glFrontFace(GL_CCW);
    gl.glDisable(GL_DEPTH_TEST);
    gl.glDisable(GL_LIGHTING);
    gl.glDisable(GL_CULL_FACE);

    gl.glClearColor(0, 0, 0, 1);
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glPushMatrix();
    gl.glLoadIdentity();
    // A model point v is shown at Rx Ry Rz Scale (v + pan): the pan moves the model along its
    // own axes and the turn about z is about the model's own z axis.
    gl.glRotated(view_.AngleX, 1, 0, 0);
    gl.glRotated(view_.AngleY, 0, 1, 0);
    gl.glRotated(view_.AngleZ, 0, 0, 1);
    const float scale = NarrowToFloat(view_.Scale);
    gl.glScalef(scale, scale, scale);
    gl.glTranslatef(static_cast<float>(view_.PanX), static_cast<float>(view_.PanY), 0);
    wireframe_.DrawModel(gl, model_, selection_);
    gl.glPopMatrix();
    gl.glFlush();
    frame_->release();
    framePending_ = false;
    ++framesDrawn_;
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
