// The sample with every block type.
#include "samples/EveryBlockSample.h"

namespace vexlor::testing {

EveryBlockSample::EveryBlockSample() {
    vertices = b.AddVertices({{1, 0.5f, -2}, {0, 0, 0}});
    normals = b.AddVertexNormals({{0, 0, 1}, {0, 0.6f, -0.8f}, {1, 0, 0}});
    texVerts = b.AddTextureVertices({{0.25f, 1}, {0.5f, 0}});
    FaceInput first;
    first.vertex = {0, 1, 2, -1};
    first.edge = {1, 2, 3, 4};
    first.textureVertex = {5, 6, 7, -1};
    first.vertexNormal = {0, 1, 0, -1};
    first.normal = {0, 0, -1};
    first.soft1 = {1, 0, 0};
    first.soft2 = {0, 1, 0};
    FaceInput second = first;
    second.vertex = {2, 1, 0, 57};
    faces = b.AddFaces({first, second});
    hardpoint = b.AddHardpoint(5, {10, 0, -4});
    MeshDescriptorInput d;
    d.meshType = 7;
    d.span = {1.5f, 2, 3};
    descriptor = b.AddMeshDescriptor(d);
    texHeader = b.AddTexHeader("wood");
    texPointer = b.AddTexHeaderPointer(b.TextureNamePosition(texHeader));
    gap = b.AppendRaw(std::vector<uint8_t>(8, 0xEE));
    unknown = b.AddDataBlock(2, 1, {1, 2, 3, 4});
    lod = b.AddLod({0, 0}, {100.5f, 0.001f});
    root = b.AddJump(0, {vertices, normals, texVerts, faces, hardpoint, descriptor, texHeader,
                         texPointer, unknown, lod});
    b.SetMeshes({root});
    bytes = b.Build();
}

}  // namespace vexlor::testing
