// Copying the view's frames to the screen.
#include "FrameSurface.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>

namespace vexlor::view {

FrameSurface::FrameSurface(std::function<void()> initialize, std::function<void()> beforePaint)
    : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate),
      initialize_(std::move(initialize)),
      beforePaint_(std::move(beforePaint)) {
    setFlags(flags() | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
}

FrameSurface::~FrameSurface() {
    if (context() != nullptr) disconnect(context(), nullptr, this, nullptr);
    ReleaseGl();
}

void FrameSurface::initializeGL() {
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &FrameSurface::ReleaseGl,
            Qt::UniqueConnection);
    blitter_.create();
    triadChanged_ = true;
    initialize_();
}

void FrameSurface::ReleaseGl() {
    if (!blitter_.isCreated()) return;
    makeCurrent();
    if (triadTexture_ != 0) context()->functions()->glDeleteTextures(1, &triadTexture_);
    triadTexture_ = 0;
    blitter_.destroy();
    doneCurrent();
}

void FrameSurface::SetTriad(QImage image, QRect area) {
    triad_ = std::move(image);
    triadArea_ = area;
    triadChanged_ = true;
}

void FrameSurface::paintGL() {
    beforePaint_();
    QOpenGLFunctions& gl = *context()->functions();
    const QSize target = size() * devicePixelRatio();
    if (frame_ != nullptr) {
        QOpenGLFramebufferObject::blitFramebuffer(nullptr, QRect(QPoint(), target), frame_,
                                                  QRect(QPoint(), frame_->size()));
    } else {
        gl.glClearColor(0, 0, 0, 1);
        gl.glClear(GL_COLOR_BUFFER_BIT);
    }
    if (triad_.isNull() || !blitter_.isCreated()) return;
    if (triadChanged_) {
        const QImage pixels = triad_.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        if (triadTexture_ == 0) gl.glGenTextures(1, &triadTexture_);
        gl.glBindTexture(GL_TEXTURE_2D, triadTexture_);
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, pixels.width(), pixels.height(), 0, GL_RGBA,
                        GL_UNSIGNED_BYTE, pixels.constBits());
        triadChanged_ = false;
    }
    gl.glViewport(0, 0, target.width(), target.height());
    gl.glEnable(GL_BLEND);
    gl.glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);  // the image's alpha is premultiplied
    blitter_.bind();
    blitter_.blit(triadTexture_,
                  QOpenGLTextureBlitter::targetTransform(triadArea_, QRect(QPoint(), target)),
                  QOpenGLTextureBlitter::OriginTopLeft);
    blitter_.release();
    gl.glDisable(GL_BLEND);
}

}  // namespace vexlor::view
