// Showing the view's frames with the axis triad over them.
#include "view/FrameSurface.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QSurfaceFormat>

#include "view/AxisTriad.h"

namespace vexlor::view {

FrameSurface::FrameSurface(std::function<void()> initialize, std::function<bool()> drawFrame)
    : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate),
      initialize_(std::move(initialize)),
      drawFrame_(std::move(drawFrame)) {
    // The shaded mode tests depth in the window's own buffers.
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setDepthBufferSize(24);
    setFormat(format);
    setFlags(flags() | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
    // Named, so that no one takes it for one of the program's windows (those carry its name).
    setTitle(QStringLiteral("3D view panel"));
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

void FrameSurface::SetTriad(const Mat3& rotation) {
    const qreal ratio = devicePixelRatio();
    const QRectF area = TriadArea(size());
    if (area.isEmpty()) {
        triad_ = QImage();
        return;
    }
    QImage image((area.size() * ratio).toSize(), QImage::Format_RGBA8888_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PaintAxisTriad(painter, QRectF(QPointF(0, 0), area.size()), rotation);
    painter.end();
    triad_ = std::move(image);
    triadArea_ = QRect(QPointF(area.topLeft() * ratio).toPoint(), triad_.size());
    triadChanged_ = true;
}

void FrameSurface::paintGL() {
    if (drawFrame_()) return;
    QOpenGLFunctions& gl = *context()->functions();
    gl.glClearColor(0, 0, 0, 1);
    gl.glClear(GL_COLOR_BUFFER_BIT);
}

void FrameSurface::DrawTriad() {
    QOpenGLFunctions& gl = *context()->functions();
    const QSize target = size() * devicePixelRatio();
    if (triad_.isNull() || !blitter_.isCreated()) return;
    if (triadChanged_) {
        if (triadTexture_ == 0) gl.glGenTextures(1, &triadTexture_);
        gl.glBindTexture(GL_TEXTURE_2D, triadTexture_);
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, triad_.width(), triad_.height(), 0, GL_RGBA,
                        GL_UNSIGNED_BYTE, triad_.constBits());
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
