// An index over the draw-table corners that answers the vertex normal test's question ("which
// corners lie near this point, and what do their normals sum to?") with exactly the bits that
// ScanContributions gives, without visiting the whole table.
//
// Finite corners sit in a uniform grid whose cells are twice the tolerance wide: every corner that
// VecNear accepts for a finite point lies in the point's cell or one of its 26 neighbours. The grid
// only proposes candidates; each is confirmed with VecNear itself, and the confirmed corners are
// summed in draw-table order, so the result cannot differ from the plain scan.
//
// Non-finite coordinates follow VecNear's rules. A NaN distance counts as near, and the distance
// is NaN exactly when some coordinate difference is NaN: when either side has a NaN, or both have
// the same infinity in one coordinate. So corners with a NaN are candidates for every point,
// corners with an infinity are listed by which coordinate holds which infinity, and a point with a
// NaN takes every corner.
//
// Results are remembered per point (NaN points share one entry, points with infinities share one
// per pattern of infinities), since a vertex is usually the corner of several faces.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "check/NormalContributions.h"
#include "reader/OptModel.h"

namespace vexlor {

class CornerIndex {
  public:
    // Indexes the draw entries. They must not change while the index is used.
    CornerIndex(const std::vector<DrawFace>& faces, float tol);

    // The same as ScanContributions(faces, point, tol, filter).
    NormalSum Contributions(const Vec3& point, MeshFilter filter);

  private:
    using CornerId = uint64_t;  // entry * 4 + corner: ordered as the plain scan visits them

    struct Cell {
        int64_t X, Y, Z;
        bool operator==(const Cell&) const = default;
    };
    struct CellHash {
        size_t operator()(const Cell& c) const;
    };
    struct Range {
        uint64_t Begin, End;  // into byCell_
    };
    struct MemoKey {
        uint32_t X, Y, Z;
        int32_t Mesh;  // -1 for every mesh
        bool operator==(const MemoKey&) const = default;
    };
    struct MemoHash {
        size_t operator()(const MemoKey& k) const;
    };

    int64_t CellCoordinate(float value) const;
    Cell CellOf(const Vec3& p) const;
    const Vec3& Corner(CornerId id) const;
    NormalSum Compute(const Vec3& point, MeshFilter filter);
    // Candidates for a point without NaN, in any order; may repeat.
    void GatherCandidates(const Vec3& point, std::vector<CornerId>& out) const;
    // Every corner of every accepted entry (the answer for a point with a NaN).
    NormalSum EveryCorner(MeshFilter filter) const;
    static MemoKey KeyOf(const Vec3& point, MeshFilter filter);

    const std::vector<DrawFace>& faces_;
    int64_t entries_;
    float tol_;
    bool scanAll_;  // a tolerance the grid cannot serve: every corner is a candidate
    double inverseCellSize_;
    std::vector<Vec3> unitNormals_;

    std::vector<CornerId> byCell_;  // finite corners grouped by cell, in id order within a cell
    std::unordered_map<Cell, Range, CellHash> cells_;
    std::vector<CornerId> nanCorners_;
    // Corners without NaN that hold an infinity: [2 * axis + (negative ? 1 : 0)].
    std::array<std::vector<CornerId>, 6> infiniteCorners_;

    std::unordered_map<MemoKey, NormalSum, MemoHash> memo_;
    std::vector<CornerId> scratch_;
};

}  // namespace vexlor
