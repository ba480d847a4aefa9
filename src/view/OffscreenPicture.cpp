// The off-screen frame: a context of its own on an off-screen surface, a framebuffer object with
// a depth buffer, the frame renderer, and the pixels read back.
#include "view/OffscreenPicture.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_2_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QPainter>
#include <algorithm>

#include "view/AxisTriad.h"
#include "view/Wireframe.h"

namespace vexlor::view {

namespace {

// A current context on an off-screen surface for the life of the object.
class OffscreenContext {
  public:
    OffscreenContext() {
        if (QGuiApplication::instance() == nullptr) {
            error_ = "drawing a picture needs the graphical application to be running";
            return;
        }
        surface_.setFormat(context_.format());
        surface_.create();
        if (!surface_.isValid() || !context_.create() || !context_.makeCurrent(&surface_)) {
            error_ = "no OpenGL context can be made for a picture";
            return;
        }
        gl_ = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_2_1>(&context_);
        if (gl_ == nullptr) error_ = "the OpenGL context offers no OpenGL 2.1 functions";
    }
    ~OffscreenContext() {
        if (context_.isValid()) context_.doneCurrent();
    }
    QOpenGLFunctions_2_1* Gl() const { return gl_; }
    const std::string& Error() const { return error_; }

  private:
    QOpenGLContext context_;
    QOffscreenSurface surface_;
    QOpenGLFunctions_2_1* gl_ = nullptr;
    std::string error_;
};

int LargestSide(QOpenGLFunctions_2_1& gl) {
    GLint texture = 0, renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    gl.glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    gl.glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::max(0, std::min({texture, renderbuffer, viewport[0], viewport[1]}));
}

}  // namespace

int LargestPictureSide() {
    OffscreenContext context;
    return context.Gl() != nullptr ? LargestSide(*context.Gl()) : 0;
}

Expected<Picture> RenderPicture(const PictureRequest& request) {
    Picture picture;
    const int width = request.Size.width(), height = request.Size.height();
    if (width <= 0 || height <= 0) {
        return Result::Failure("a picture needs a width and a height of at least one pixel");
    }
    OffscreenContext context;
    if (context.Gl() == nullptr) {
        return Result::Failure(context.Error());
    }
    QOpenGLFunctions_2_1& gl = *context.Gl();
    const int largest = LargestSide(gl);
    if (width > largest || height > largest) {
        return Result::Failure("a picture can be at most " + std::to_string(largest) + " x " +
                               std::to_string(largest) + " pixels here");
    }

    ViewBox box;
    if (request.Box) {
        box = *request.Box;
    } else {
        const ModelExtent extent = ComputeModelExtent(request.Scene.Faces);
        box = ProjectionBox(extent.Max, extent.Min);
    }
    if (request.KeepProportions) box = BoxForAspect(box, width, height);

    ViewState view;
    view.AngleX = request.View.AngleX;
    view.AngleY = request.View.AngleY;
    view.AngleZ = request.View.AngleZ;
    view.Scale = request.View.Scale;
    view.PanX = request.View.PanX;
    view.PanY = request.View.PanY;
    if (request.Preset) ApplyPresetView(view, *request.Preset);
    if (request.Fit) {
        FitView(view, box, request.Scene.Faces, {request.Scene.ShowLod, -1});
    }
    const Camera camera = CameraOf(view);
    picture.Drawn = camera;
    picture.Box = box;

    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::Depth);
    QOpenGLFramebufferObject frame(width, height, format);
    if (!frame.isValid() || !frame.bind()) {
        return Result::Failure("OpenGL cannot make a framebuffer of " + std::to_string(width) +
                               " x " + std::to_string(height) + " pixels");
    }
    FrameRenderer renderer;
    renderer.Create();
    renderer.Draw(gl, box, camera, width, height, request.Scene, request.Look);
    renderer.Destroy();
    QImage image = frame.toImage();
    frame.release();
    if (image.isNull()) {
        return Result::Failure("the picture's pixels cannot be held in memory");
    }
    picture.Image = image.convertToFormat(QImage::Format_RGB32);
    if (picture.Image.isNull()) {
        return Result::Failure("the picture's pixels cannot be held in memory");
    }
    if (request.Triad) {
        QPainter painter(&picture.Image);
        PaintAxisTriad(painter, TriadArea(picture.Image.size()),
                       FrameTransform(box, camera, width, height).Rotation());
    }
    return picture;
}

}  // namespace vexlor::view
