// The shaded fill's shader and OpenGL calls.
#include "view/ShadedRenderer.h"

#include <QOpenGLFunctions_2_1>
#include <QtDebug>
#include <vector>

#include "view/ShadedFaces.h"

namespace vexlor::view {

namespace {

// The fixed-function transform (ftransform) keeps the fill's corners exactly where the
// wireframe's lines put them. The corner colour is the wireframe's (the mesh's full colour),
// dimmed by the light; the flat shade model keeps it whole over the face.
const char* const kVertexShader = R"(
#version 120
uniform vec4 shade;  // front base, front slope, back base, back slope
void main() {
    gl_Position = ftransform();
    vec3 n = gl_NormalMatrix * gl_Normal;
    float size = length(n);
    float facing = size > 0.0 ? n.z / size : 0.0;
    float light = facing > 0.0 ? shade.x + shade.y * facing : shade.z - shade.w * facing;
    gl_FrontColor = vec4(gl_Color.rgb * light, 1.0);
}
)";

const char* const kFragmentShader = R"(
#version 120
void main() {
    gl_FragColor = gl_Color;
}
)";

}  // namespace

NearerWins DepthForBox(const ViewBox& box) {
    // glOrtho maps eye z to a depth that grows with z when Far < Near.
    if (box.Far < box.Near) return {GL_GEQUAL, 0.0, -1.0f};
    return {GL_LEQUAL, 1.0, 1.0f};
}

ShadedRenderer::ShadedRenderer() = default;
ShadedRenderer::~ShadedRenderer() = default;

bool ShadedRenderer::Create() {
    normals_.create();
    triangles_.Create();
    uploads_.Forget();
    program_ = std::make_unique<QOpenGLShaderProgram>();
    if (!program_->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) ||
        !program_->addShaderFromSourceCode(QOpenGLShader::Fragment, kFragmentShader) ||
        !program_->link()) {
        qWarning() << "3D view: the shaded mode's shader cannot be built; faces are not filled:"
                   << program_->log();
        program_.reset();
        return false;
    }
    return true;
}

void ShadedRenderer::Destroy() {
    program_.reset();
    normals_.destroy();
    triangles_.Destroy();
    uploads_.Forget();
}

bool ShadedRenderer::Prepare(std::span<const DrawFace> faces, const FaceSelection& shown,
                             std::optional<int32_t> coarseKey) {
    // The colours are the wireframe's: only a new model or level fills anything again.
    const WireframeUploads::Refill refill = uploads_.Plan(
        faces.data(), generation_, DrawableFaceCount(faces), 0, shown.ShowLod, coarseKey);
    if (refill.Positions) {
        std::vector<int8_t> normals;
        FillCornerNormals(faces, normals);
        Upload(normals_, normals);
    }
    triangles_.Choose(coarseKey.has_value(), refill, [&](std::vector<uint32_t>& corners) {
        FillTriangleList(faces, shown, corners);
    });
    return refill != WireframeUploads::Refill{};
}

bool ShadedRenderer::DrawFill(QOpenGLFunctions_2_1& gl, const NearerWins& depth,
                              std::span<const DrawFace> faces, const FaceSelection& shown,
                              std::optional<int32_t> coarseKey, WireframeRenderer& wireframe) {
    if (program_ == nullptr) return false;
    const bool filled = Prepare(faces, shown, coarseKey);
    if (triangles_.Drawn().Count <= 0) return filled;
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    gl.glEnable(GL_POLYGON_OFFSET_FILL);
    gl.glPolygonOffset(depth.Farther, depth.Farther);
    gl.glShadeModel(GL_FLAT);
    program_->bind();
    program_->setUniformValue("shade", float(kFrontBase), float(kFrontSlope), float(kBackBase),
                              float(kBackSlope));
    wireframe.BindCorners(gl);
    gl.glEnableClientState(GL_NORMAL_ARRAY);
    normals_.bind();
    gl.glNormalPointer(GL_BYTE, 4, nullptr);
    normals_.release();
    triangles_.Drawn().Draw(gl, GL_TRIANGLES);
    gl.glDisableClientState(GL_NORMAL_ARRAY);
    wireframe.ReleaseCorners(gl);
    program_->release();
    gl.glShadeModel(GL_SMOOTH);
    gl.glDisable(GL_POLYGON_OFFSET_FILL);
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    return filled;
}

}  // namespace vexlor::view
