// Small models for the check's tests: meshes of vertices, vertex normals and faces, built into an
// OPT file and loaded, and the lines a check run leaves in the report list.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "check/ConsistencyCheck.h"
#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"

namespace vexlor::testing {

struct MeshParts {
    std::vector<V3> vertices;
    std::vector<V3> normals;
    std::vector<FaceInput> faces;
};

// One mesh root (a jump block of vertices, vertex normals, faces) per entry.
std::vector<uint8_t> BuildMeshes(const std::vector<MeshParts>& meshes);

// A face with the given corners, stored normal and vertex normal indices; soft vectors (1, 0, 0)
// and (0, 1, 0), which lie in the plane z = 0.
FaceInput MakeFace(std::array<int32_t, 4> vertex, V3 normal, std::array<int32_t, 4> vertexNormal);

// The unit square at (x, y, 0) wound so that its rebuilt normal is (0, 0, -1), with that normal
// stored for the face and for each corner: a mesh that checks clean.
MeshParts CleanSquare(float x = 0, float y = 0);

// Runs the check on the loaded file: its lines, and its outcome in `outcome` when asked.
std::vector<std::string> RunCheck(const OptDocument& document, VertexNormalCheck mode,
                                  CheckOutcome* outcome = nullptr,
                                  ContributionSearch search = ContributionSearch::Indexed);

// Loads the bytes, runs the check and returns its lines.
std::vector<std::string> CheckLines(OptDocument& document, const std::vector<uint8_t>& bytes,
                                    VertexNormalCheck mode = VertexNormalCheck::WholeModel);
std::vector<std::string> CheckLines(const std::vector<uint8_t>& bytes,
                                    VertexNormalCheck mode = VertexNormalCheck::WholeModel);

// The lines that report something (not the headings, not empty lines).
std::vector<std::string> Findings(const std::vector<std::string>& lines);

// "%7s %10f %7s %10f %7s %10f" of three values, as the report writes vectors.
std::string Triple(float x, float y, float z);

}  // namespace vexlor::testing
