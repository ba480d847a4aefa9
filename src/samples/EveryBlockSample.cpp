// The sample with every block type.
#include "samples/EveryBlockSample.h"

namespace vexlor::testing {

EveryBlockSample::EveryBlockSample() {
    Vertices = B.AddVertices({{1, 0.5f, -2}, {0, 0, 0}});
    Normals = B.AddVertexNormals({{0, 0, 1}, {0, 0.6f, -0.8f}, {1, 0, 0}});
    TexVerts = B.AddTextureVertices({{0.25f, 1}, {0.5f, 0}});
    FaceInput first;
    first.Vertex = {0, 1, 2, -1};
    first.Edge = {1, 2, 3, 4};
    first.TextureVertex = {5, 6, 7, -1};
    first.VertexNormal = {0, 1, 0, -1};
    first.Normal = {0, 0, -1};
    first.Soft1 = {1, 0, 0};
    first.Soft2 = {0, 1, 0};
    FaceInput second = first;
    second.Vertex = {2, 1, 0, 57};
    Faces = B.AddFaces({first, second});
    Hardpoint = B.AddHardpoint(5, {10, 0, -4});
    MeshDescriptorInput d;
    d.MeshType = 7;
    d.Span = {1.5f, 2, 3};
    Descriptor = B.AddMeshDescriptor(d);
    TexHeader = B.AddTexHeader("wood");
    TexPointer = B.AddTexHeaderPointer(B.TextureNamePosition(TexHeader));
    Gap = B.AppendRaw(std::vector<uint8_t>(8, 0xEE));
    Unknown = B.AddDataBlock(2, 1, {1, 2, 3, 4});
    Lod = B.AddLod({0, 0}, {100.5f, 0.001f});
    Root = B.AddJump(0, {Vertices, Normals, TexVerts, Faces, Hardpoint, Descriptor, TexHeader,
                         TexPointer, Unknown, Lod});
    B.SetMeshes({Root});
    Bytes = B.Build();
}

}  // namespace vexlor::testing
