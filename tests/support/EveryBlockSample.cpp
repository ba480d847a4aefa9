// The sample with every block type.
#include "EveryBlockSample.h"

namespace vexlor::testing {

EveryBlockSample::EveryBlockSample() {
    vertices = b.addVertices({{1, 0.5f, -2}, {0, 0, 0}});
    normals = b.addVertexNormals({{0, 0, 1}, {0, 0.6f, -0.8f}, {1, 0, 0}});
    texVerts = b.addTextureVertices({{0.25f, 1}, {0.5f, 0}});
    FaceSpec first;
    first.vertex = {0, 1, 2, -1};
    first.edge = {1, 2, 3, 4};
    first.textureVertex = {5, 6, 7, -1};
    first.vertexNormal = {0, 1, 0, -1};
    first.normal = {0, 0, -1};
    first.soft1 = {1, 0, 0};
    first.soft2 = {0, 1, 0};
    FaceSpec second = first;
    second.vertex = {2, 1, 0, 57};
    faces = b.addFaces({first, second});
    hardpoint = b.addHardpoint(5, {10, 0, -4});
    MeshDescriptorSpec d;
    d.meshType = 7;
    d.span = {1.5f, 2, 3};
    descriptor = b.addMeshDescriptor(d);
    texHeader = b.addTexHeader("wood");
    texPointer = b.addTexHeaderPointer(b.textureNamePosition(texHeader));
    gap = b.appendRaw(std::vector<uint8_t>(8, 0xEE));
    unknown = b.addDataBlock(2, 1, {1, 2, 3, 4});
    lod = b.addLod({0, 0}, {100.5f, 0.001f});
    root = b.addJump(0, {vertices, normals, texVerts, faces, hardpoint, descriptor, texHeader,
                         texPointer, unknown, lod});
    b.setMeshes({root});
    bytes = b.build();
}

}  // namespace vexlor::testing
