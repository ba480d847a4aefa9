#include "CheckTestSupport.h"

namespace vexlor::testing {

std::vector<uint8_t> BuildMeshes(const std::vector<MeshParts>& meshes) {
    OptBuilder b(0x2000);
    std::vector<int64_t> roots;
    for (const MeshParts& m : meshes) {
        roots.push_back(b.AddJump(
            0, {b.AddVertices(m.vertices), b.AddVertexNormals(m.normals), b.AddFaces(m.faces)}));
    }
    b.SetMeshes(roots);
    return b.Build();
}

FaceInput MakeFace(std::array<int32_t, 4> vertex, V3 normal, std::array<int32_t, 4> vertexNormal) {
    FaceInput f;
    f.Vertex = vertex;
    f.VertexNormal = vertexNormal;
    f.Normal = normal;
    f.Soft1 = {1, 0, 0};
    f.Soft2 = {0, 1, 0};
    return f;
}

MeshParts CleanSquare(float x, float y) {
    return {{{x, y, 0}, {x + 1, y, 0}, {x + 1, y + 1, 0}, {x, y + 1, 0}},
            {{0, 0, -1}},
            {MakeFace({0, 1, 2, 3}, {0, 0, -1}, {0, 0, 0, 0})}};
}

std::vector<std::string> RunCheck(const OptDocument& document, VertexNormalCheck mode,
                                  CheckOutcome* outcome, ContributionSearch search) {
    std::vector<std::string> lines;
    const CheckOutcome result = RunConsistencyCheck(document, mode, lines, search);
    if (outcome != nullptr) *outcome = result;
    return lines;
}

std::vector<std::string> CheckLines(OptDocument& document, const std::vector<uint8_t>& bytes,
                                    VertexNormalCheck mode) {
    document.OpenBytes(bytes, "model.opt");
    return RunCheck(document, mode);
}

std::vector<std::string> CheckLines(const std::vector<uint8_t>& bytes, VertexNormalCheck mode) {
    OptDocument document;
    return CheckLines(document, bytes, mode);
}

std::vector<std::string> Findings(const std::vector<std::string>& lines) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (!line.empty() && line.rfind("Checking ", 0) != 0 && line != "Consistency check...")
            found.push_back(line);
    }
    return found;
}

std::string Triple(float x, float y, float z) {
    return NumberText().TripleText(x, y, z);
}

}  // namespace vexlor::testing
