// The shaded fill's shader and OpenGL calls.
#include "ShadedRenderer.h"

#include <QOpenGLFunctions_2_1>
#include <QtDebug>
#include <vector>

#include "ShadedFaces.h"

namespace vexlor::view {

namespace {

// The fixed-function transform (ftransform) keeps the fill's corners exactly where the
// wireframe's lines put them. The face's fill and edge colours leave as the primary and
// secondary colour, which the flat shade model keeps whole over the face: the four corners
// share the normal anyway, and only the edge coordinates are interpolated.
const char* const kVertexShader = R"(
#version 120
uniform float currentMesh;
uniform vec3 currentColour;
uniform vec3 otherColour;
uniform vec4 shade;  // front base, front slope, back base, back slope
varying vec3 edges;
void main() {
    gl_Position = ftransform();
    vec3 n = gl_NormalMatrix * gl_Normal;
    float size = length(n);
    float facing = size > 0.0 ? n.z / size : 0.0;
    vec3 base = abs(gl_MultiTexCoord0.x - currentMesh) < 0.5 ? currentColour : otherColour;
    float light = facing > 0.0 ? shade.x + shade.y * facing : shade.z - shade.w * facing;
    gl_FrontColor = vec4(base * light, 1.0);
    gl_FrontSecondaryColor = vec4(base, 1.0);
    edges = gl_Color.xyz;
}
)";

// A fragment within a pixel of one of its face's edges (the edge coordinate divided by how much
// it changes from one pixel to the next) is drawn as the wireframe's line, in the mesh's full
// colour; the rest is the lit fill.
const char* const kFragmentShader = R"(
#version 120
varying vec3 edges;
void main() {
    vec3 width = max(fwidth(edges), vec3(1e-7));
    vec3 inside = min(edges, vec3(1.0) - edges) / width;
    float nearest = min(min(inside.x, inside.y), edges.z / width.z);
    gl_FragColor = nearest < 1.0 ? gl_SecondaryColor : gl_Color;
}
)";

template <typename T>
void Upload(QOpenGLBuffer& buffer, const std::vector<T>& data) {
    buffer.bind();
    buffer.allocate(data.data(), static_cast<int>(data.size() * sizeof(T)));
    buffer.release();
}

}  // namespace

NearerWins DepthForBox(const ViewBox& box) {
    // glOrtho maps eye z to a depth that grows with z when Far < Near.
    if (box.Far < box.Near) return {GL_GEQUAL, 0.0};
    return {GL_LEQUAL, 1.0};
}

ShadedRenderer::ShadedRenderer() = default;
ShadedRenderer::~ShadedRenderer() = default;

bool ShadedRenderer::Create() {
    positions_.create();
    normals_.create();
    edges_.create();
    meshes_.create();
    triangles_.create();
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
    positions_.destroy();
    normals_.destroy();
    edges_.destroy();
    meshes_.destroy();
    triangles_.destroy();
    uploads_.Forget();
}

void ShadedRenderer::Prepare(std::span<const DrawFace> faces, int32_t showLod) {
    // The current mesh is a uniform: only a new model or level fills anything again.
    const WireframeUploads::Refill refill =
        uploads_.Plan(faces.data(), generation_, DrawableFaceCount(faces), 0, showLod);
    if (refill.positions) {
        std::vector<float> positions;
        FillPositions(faces, positions);
        Upload(positions_, positions);
        std::vector<int8_t> normals;
        FillCornerNormals(faces, normals);
        Upload(normals_, normals);
        std::vector<uint8_t> edges;
        FillCornerEdges(faces, edges);
        Upload(edges_, edges);
        std::vector<int16_t> meshes;
        FillCornerMeshes(faces, meshes);
        Upload(meshes_, meshes);
    }
    if (refill.edges) {
        std::vector<uint32_t> triangles;
        FillTriangleList(faces, showLod, triangles);
        Upload(triangles_, triangles);
        triangleCorners_ = static_cast<int32_t>(triangles.size());
    }
}

bool ShadedRenderer::DrawFill(QOpenGLFunctions_2_1& gl, const ViewBox& box,
                              std::span<const DrawFace> faces, int32_t currentMesh,
                              int32_t showLod) {
    if (program_ == nullptr) return false;
    const NearerWins depth = DepthForBox(box);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glDepthFunc(depth.DepthFunction);
    Prepare(faces, showLod);
    if (triangleCorners_ > 0) {
        gl.glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        // The colours are the face's (the same at its four corners): not interpolated.
        gl.glShadeModel(GL_FLAT);
        program_->bind();
        program_->setUniformValue("currentMesh",
                                  static_cast<float>(static_cast<int16_t>(currentMesh)));
        program_->setUniformValue("currentColour", 1.0f, 0.0f, 0.0f);
        program_->setUniformValue("otherColour", 0.0f, 1.0f, 1.0f);
        program_->setUniformValue("shade", float(kFrontBase), float(kFrontSlope), float(kBackBase),
                                  float(kBackSlope));
        gl.glEnableClientState(GL_VERTEX_ARRAY);
        gl.glEnableClientState(GL_NORMAL_ARRAY);
        gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        gl.glEnableClientState(GL_COLOR_ARRAY);
        positions_.bind();
        gl.glVertexPointer(3, GL_FLOAT, 0, nullptr);
        normals_.bind();
        gl.glNormalPointer(GL_BYTE, 4, nullptr);
        edges_.bind();
        gl.glColorPointer(4, GL_UNSIGNED_BYTE, 0, nullptr);
        meshes_.bind();
        gl.glTexCoordPointer(1, GL_SHORT, 0, nullptr);
        meshes_.release();
        triangles_.bind();
        gl.glDrawElements(GL_TRIANGLES, triangleCorners_, GL_UNSIGNED_INT, nullptr);
        triangles_.release();
        gl.glDisableClientState(GL_COLOR_ARRAY);
        gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        gl.glDisableClientState(GL_NORMAL_ARRAY);
        gl.glDisableClientState(GL_VERTEX_ARRAY);
        program_->release();
        gl.glShadeModel(GL_SMOOTH);
        gl.glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
    gl.glDisable(GL_DEPTH_TEST);
    return true;
}

}  // namespace vexlor::view
