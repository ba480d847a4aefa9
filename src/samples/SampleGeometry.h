// SampleGeometry: closed solids for the sample models, with stored normals that agree with
// how the consistency check rebuilds them.
//
// A MeshGeometry holds one mesh: a pool of points shared by all its levels of detail and the
// faces of each level. Points are shared by exact position, so a corner that faces of several
// levels meet at has one vertex and one vertex normal. Face normals are rebuilt from the first
// three corners (minus the normalised cross product of AB and BC); vertex normals are the
// normalised average of the normalised normals of every face corner at that point, counted
// over all levels, which is what the check computes from the draw tables.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "samples/OptBuilder.h"

namespace vexlor::testing {

class MeshGeometry {
  public:
    explicit MeshGeometry(int levels);

    // Index of the point at exactly this position, added when new.
    int point(V3 p);
    // Adds a triangle (fourth corner -1) or a quad of pool indices. The winding is reversed
    // when needed so that the face normal points the same way as `outward`.
    void addFace(int level, std::array<int32_t, 4> corners, V3 outward);

    int levels() const { return static_cast<int>(faces_.size()); }
    const std::vector<V3>& points() const { return points_; }
    int faceCount(int level) const { return static_cast<int>(faces_.at(level).size()); }

    // Face records of one level: vertex and vertex normal indices into the pool, edge indices
    // numbered per level, texture vertex indices into textureVertices(), normal, soft vectors.
    std::vector<FaceInput> faceRecords(int level) const;
    // One normal per pool point.
    std::vector<V3> vertexNormals() const;
    // One texture coordinate pair per pool point (a planar projection).
    std::vector<std::pair<float, float>> textureVertices() const;
    // Bounding box of the pool.
    std::pair<V3, V3> bounds() const;

  private:
    struct Face {
        std::array<int32_t, 4> Corners;
        V3 Normal;
    };
    V3 faceNormal(const std::array<int32_t, 4>& corners) const;

    std::vector<V3> points_;
    std::map<std::tuple<float, float, float>, int> index_;
    std::vector<std::vector<Face>> faces_;
};

// A loft: a convex outline swept along an axis through stations, each a scaled and shifted copy
// of the outline. Copies of one outline have parallel edges, so every side quad is a planar
// trapezoid.
struct Frame {
    V3 Origin;
    V3 Axis;    // direction of increasing t
    V3 Across;  // first outline coordinate
    V3 Up;      // second outline coordinate
};

struct Station {
    float T = 0;
    float Scale = 1;
    float ShiftAcross = 0;
    float ShiftUp = 0;
};

using Outline = std::vector<std::pair<float, float>>;

enum class Cap {
    Fan,      // triangles from the outline's centre
    QuadFan,  // quads from the centre over two outline edges each (even outlines)
    Flat,     // quads spanning the outline itself (even outlines without collinear points)
};

struct Loft {
    vexlor::testing::Frame Frame;
    vexlor::testing::Outline Outline;  // convex, around (0, 0)
    std::vector<Station> Stations;
    Cap StartCap = Cap::Fan;
    Cap EndCap = Cap::Fan;
    std::optional<float> Tip;  // when set, the end closes in triangles to a point at this t
};

void AddLoft(MeshGeometry& mesh, int level, const Loft& loft);

// The outline with the midpoint of every edge inserted.
Outline RefineOutline(const Outline& outline);
// The stations with a station halfway between each neighbouring pair inserted.
std::vector<Station> RefineStations(const std::vector<Station>& stations);

}  // namespace vexlor::testing
