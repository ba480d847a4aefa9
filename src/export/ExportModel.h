// The model of an OPT file as the export sees it: plain values, filled from one walk over the open
// file (or by hand in tests), read by ExportToFile. Nothing here refers back to the file or to the
// reader's tables, so a model outlives the document it was built from.
//
// Order is the file's: meshes in mesh-table order, levels in walk order, face blocks and faces in
// walk order. Coordinates are as the file holds them (OPT units, OPT axes: z up, nose along -y).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/FixedVector.h"
#include "reader/Vec3.h"

namespace vexlor {

// A texture vertex (u, v) as the file holds it: the origin is the texture's top-left corner.
struct TexCoord {
    float U = 0.0f;
    float V = 0.0f;
};

// One corner of a face with what its indices resolved to. A corner whose vertex index was out of
// range is not in the face at all (the builder leaves it out with a warning).
struct ExportCorner {
    Vec3 Position;
    std::optional<Vec3> Normal;  // the vertex normal, when its index is >= 0 and in range
    std::optional<TexCoord> Uv;  // the texture vertex, when its index is >= 0 and in range
};

// A face's corners, at most four.
using ExportCorners = FixedVector<ExportCorner, 4>;

struct ExportFace {
    ExportCorners Corners;  // 3 for a triangle, 4 for a quad (A, B, C, D)
    Vec3 Normal;            // the face normal of the file
};

// One face block (type 1) with the texture in force for all of its faces: the last texture header
// or texture header pointer met before the block within the same level, in walk order.
struct ExportFaceBlock {
    int64_t Offset = 0;                  // file position of the block
    std::optional<std::string> Texture;  // none when no texture was met before it in its level
    std::vector<ExportFace> Faces;
};

// One level of detail of a mesh: the faces read while curLOD had this value.
struct ExportLevel {
    int32_t Number = 1;             // curLOD: 1 for the first level
    std::optional<float> Distance;  // its lo-res distance from the mesh's type-21 block, if any
    std::vector<ExportFaceBlock> FaceBlocks;
};

struct ExportHardpoint {
    int64_t Offset = 0;    // file position of the block (type 22)
    int32_t Type = 0;      // type code
    std::string TypeName;  // from the hardpoint type table; empty when unknown
    Vec3 Position;
};

struct ExportDescriptor {
    int64_t Offset = 0;    // file position of the block (type 25)
    int32_t Type = 0;      // mesh type code
    std::string TypeName;  // from the mesh type table; empty when unknown
    Vec3 Span;
    Vec3 Centre;
    Vec3 Minima;
    Vec3 Maxima;
    int32_t TargetGroup = 0;
    Vec3 TargetCentre;
};

struct ExportMesh {
    int32_t Index = 0;                // position in the mesh jump table: "mesh M"
    std::optional<int32_t> TypeCode;  // the mesh type, from the mesh's descriptor, when it has one
    std::string TypeName;             // the type's name; empty when unknown or none
    std::vector<ExportLevel> Levels;
    std::vector<ExportHardpoint> Hardpoints;
    std::vector<ExportDescriptor> Descriptors;
};

struct ExportModel {
    std::vector<ExportMesh> Meshes;
    // What the builder could not put into the model (bad indices and the like), one line each;
    // ExportToFile passes them on ahead of its own warnings.
    std::vector<std::string> Warnings;

    // Faces over all meshes and levels.
    int64_t FaceCount() const {
        int64_t n = 0;
        for (const ExportMesh& mesh : Meshes)
            for (const ExportLevel& level : mesh.Levels)
                for (const ExportFaceBlock& block : level.FaceBlocks)
                    n += static_cast<int64_t>(block.Faces.size());
        return n;
    }
};

}  // namespace vexlor
