// SampleGeometry: point pools, outward-wound faces, normals and lofts for the sample models.
#include "samples/SampleGeometry.h"

#include <cmath>
#include <stdexcept>

namespace vexlor::testing {

namespace {

struct D3 {
    double X = 0, Y = 0, Z = 0;
};

D3 ToD(V3 v) {
    return {v.X, v.Y, v.Z};
}
V3 ToF(D3 v) {
    return {static_cast<float>(v.X), static_cast<float>(v.Y), static_cast<float>(v.Z)};
}
D3 Sub(D3 a, D3 b) {
    return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
D3 Add(D3 a, D3 b) {
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}
D3 Mul(D3 a, double s) {
    return {a.X * s, a.Y * s, a.Z * s};
}
double Dot(D3 a, D3 b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}
D3 Cross(D3 a, D3 b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
double Length(D3 a) {
    return std::sqrt(Dot(a, a));
}
D3 Unit(D3 a) {
    return Mul(a, 1.0 / Length(a));
}

int CornerCount(const std::array<int32_t, 4>& corners) {
    return corners[3] < 0 ? 3 : 4;
}

// Position in a frame: origin + t * axis + a * across + u * up, each coordinate summed exactly
// when the inputs are short binary fractions.
V3 Place(const Frame& f, double t, double a, double u) {
    const D3 p =
        Add(Add(Add(ToD(f.Origin), Mul(ToD(f.Axis), t)), Mul(ToD(f.Across), a)), Mul(ToD(f.Up), u));
    return ToF(p);
}

D3 Centroid(const MeshGeometry& mesh, const std::array<int32_t, 4>& corners) {
    D3 sum;
    const int n = CornerCount(corners);
    for (int k = 0; k < n; ++k)
        sum = Add(sum, ToD(mesh.points()[static_cast<size_t>(corners[k])]));
    return Mul(sum, 1.0 / n);
}

}  // namespace

MeshGeometry::MeshGeometry(int levels) : faces_(static_cast<size_t>(levels)) {}

int MeshGeometry::point(V3 p) {
    const auto key = std::make_tuple(p.X, p.Y, p.Z);
    const auto [it, added] = index_.try_emplace(key, static_cast<int>(points_.size()));
    if (added) points_.push_back(p);
    return it->second;
}

V3 MeshGeometry::faceNormal(const std::array<int32_t, 4>& c) const {
    const D3 a = ToD(points_.at(static_cast<size_t>(c[0])));
    const D3 b = ToD(points_.at(static_cast<size_t>(c[1])));
    const D3 cc = ToD(points_.at(static_cast<size_t>(c[2])));
    const D3 n = Cross(Sub(b, a), Sub(cc, b));
    if (Length(n) < 1e-6) throw std::logic_error("MeshGeometry: degenerate face");
    return ToF(Mul(Unit(n), -1.0));
}

void MeshGeometry::addFace(int level, std::array<int32_t, 4> corners, V3 outward) {
    V3 n = faceNormal(corners);
    if (Dot(ToD(n), ToD(outward)) < 0) {
        // Reverse the winding but keep the first corner.
        if (corners[3] < 0) {
            std::swap(corners[1], corners[2]);
        } else {
            std::swap(corners[1], corners[3]);
        }
        n = faceNormal(corners);
    }
    faces_.at(static_cast<size_t>(level)).push_back({corners, n});
}

std::vector<FaceInput> MeshGeometry::faceRecords(int level) const {
    std::map<std::pair<int32_t, int32_t>, int32_t> edges;
    std::vector<FaceInput> out;
    for (const Face& f : faces_.at(static_cast<size_t>(level))) {
        FaceInput s;
        s.Vertex = f.Corners;
        s.TextureVertex = f.Corners;
        s.VertexNormal = f.Corners;
        s.Edge = {0, 0, 0, 0};
        const int n = CornerCount(f.Corners);
        for (int k = 0; k < n; ++k) {
            int32_t a = f.Corners[k];
            int32_t b = f.Corners[(k + 1) % n];
            if (a > b) std::swap(a, b);
            const auto [it, added] = edges.try_emplace({a, b}, static_cast<int32_t>(edges.size()));
            s.Edge[k] = it->second;
        }
        if (n == 3) {
            s.TextureVertex[3] = 0;
            s.VertexNormal[3] = -1;
        }
        s.Normal = f.Normal;
        // Soft vectors: along the first edge, and the in-plane direction at right angles to it,
        // so their cross product is the face normal itself.
        const D3 along = Unit(Sub(ToD(points_[static_cast<size_t>(f.Corners[1])]),
                                  ToD(points_[static_cast<size_t>(f.Corners[0])])));
        s.Soft1 = ToF(along);
        s.Soft2 = ToF(Unit(Cross(ToD(f.Normal), along)));
        out.push_back(s);
    }
    return out;
}

std::vector<V3> MeshGeometry::vertexNormals() const {
    std::vector<D3> sum(points_.size());
    std::vector<int> count(points_.size(), 0);
    for (const auto& level : faces_) {
        for (const Face& f : level) {
            const D3 n = Unit(ToD(f.Normal));
            for (int k = 0; k < CornerCount(f.Corners); ++k) {
                const auto i = static_cast<size_t>(f.Corners[k]);
                sum[i] = Add(sum[i], n);
                ++count[i];
            }
        }
    }
    std::vector<V3> out(points_.size(), V3{0, 1, 0});
    for (size_t i = 0; i < points_.size(); ++i) {
        if (count[i] == 0) continue;
        const D3 average = Mul(sum[i], 1.0 / count[i]);
        // An average near zero would leave the direction to rounding; the shapes avoid it.
        if (Length(average) < 0.05) throw std::logic_error("MeshGeometry: normals cancel");
        out[i] = ToF(Unit(average));
    }
    return out;
}

std::vector<std::pair<float, float>> MeshGeometry::textureVertices() const {
    const auto [lo, hi] = bounds();
    const float du = hi.X > lo.X ? hi.X - lo.X : 1.0f;
    const float dv = hi.Z > lo.Z ? hi.Z - lo.Z : 1.0f;
    std::vector<std::pair<float, float>> out;
    out.reserve(points_.size());
    for (const V3& p : points_)
        out.emplace_back((p.X - lo.X) / du, (p.Z - lo.Z) / dv);
    return out;
}

std::pair<V3, V3> MeshGeometry::bounds() const {
    if (points_.empty()) return {};
    V3 lo = points_.front(), hi = points_.front();
    for (const V3& p : points_) {
        lo = {std::fmin(lo.X, p.X), std::fmin(lo.Y, p.Y), std::fmin(lo.Z, p.Z)};
        hi = {std::fmax(hi.X, p.X), std::fmax(hi.Y, p.Y), std::fmax(hi.Z, p.Z)};
    }
    return {lo, hi};
}

void AddLoft(MeshGeometry& mesh, int level, const Loft& loft) {
    const Frame& f = loft.Frame;
    const auto n = static_cast<int>(loft.Outline.size());
    const auto rings = static_cast<int>(loft.Stations.size());
    if (n < 3 || rings < 1) throw std::invalid_argument("AddLoft: outline or stations too short");

    auto ringPoint = [&](int r, int j) {
        const Station& s = loft.Stations[static_cast<size_t>(r)];
        const auto& [a, u] = loft.Outline[static_cast<size_t>(j % n)];
        return mesh.point(Place(f, s.T, s.ShiftAcross + static_cast<double>(s.Scale) * a,
                                s.ShiftUp + static_cast<double>(s.Scale) * u));
    };
    auto ringCentre = [&](int r) {
        const Station& s = loft.Stations[static_cast<size_t>(r)];
        return Place(f, s.T, s.ShiftAcross, s.ShiftUp);
    };
    auto outwardFrom = [&](const std::array<int32_t, 4>& c, D3 inside) {
        return ToF(Sub(Centroid(mesh, c), inside));
    };

    // Sides between neighbouring stations.
    for (int r = 0; r + 1 < rings; ++r) {
        const D3 inside = Mul(Add(ToD(ringCentre(r)), ToD(ringCentre(r + 1))), 0.5);
        for (int j = 0; j < n; ++j) {
            const std::array<int32_t, 4> c{ringPoint(r, j), ringPoint(r, j + 1),
                                           ringPoint(r + 1, j + 1), ringPoint(r + 1, j)};
            mesh.addFace(level, c, outwardFrom(c, inside));
        }
    }

    auto cap = [&](int r, Cap kind, V3 outward) {
        const int centre = kind == Cap::Flat ? -1 : mesh.point(ringCentre(r));
        switch (kind) {
            case Cap::Fan:
                for (int j = 0; j < n; ++j) {
                    mesh.addFace(level, {centre, ringPoint(r, j), ringPoint(r, j + 1), -1},
                                 outward);
                }
                break;
            case Cap::QuadFan:
                for (int j = 0; j + 1 < n; j += 2) {
                    mesh.addFace(
                        level, {centre, ringPoint(r, j), ringPoint(r, j + 1), ringPoint(r, j + 2)},
                        outward);
                }
                if (n % 2 != 0) {
                    mesh.addFace(level, {centre, ringPoint(r, n - 1), ringPoint(r, 0), -1},
                                 outward);
                }
                break;
            case Cap::Flat: {
                int j = 1;
                for (; j + 2 < n; j += 2) {
                    mesh.addFace(level,
                                 {ringPoint(r, 0), ringPoint(r, j), ringPoint(r, j + 1),
                                  ringPoint(r, j + 2)},
                                 outward);
                }
                if (j + 1 < n) {
                    mesh.addFace(level, {ringPoint(r, 0), ringPoint(r, j), ringPoint(r, j + 1), -1},
                                 outward);
                }
                break;
            }
        }
    };

    const V3 back = ToF(Mul(ToD(f.Axis), -1.0));
    cap(0, loft.StartCap, back);
    if (loft.Tip) {
        const Station& last = loft.Stations.back();
        const int tip = mesh.point(Place(f, *loft.Tip, last.ShiftAcross, last.ShiftUp));
        const D3 inside = ToD(ringCentre(rings - 1));
        for (int j = 0; j < n; ++j) {
            const std::array<int32_t, 4> c{tip, ringPoint(rings - 1, j),
                                           ringPoint(rings - 1, j + 1), -1};
            mesh.addFace(level, c, outwardFrom(c, inside));
        }
    } else {
        cap(rings - 1, loft.EndCap, f.Axis);
    }
}

Outline RefineOutline(const Outline& outline) {
    Outline out;
    for (size_t j = 0; j < outline.size(); ++j) {
        const auto& a = outline[j];
        const auto& b = outline[(j + 1) % outline.size()];
        out.push_back(a);
        out.emplace_back((a.first + b.first) / 2, (a.second + b.second) / 2);
    }
    return out;
}

std::vector<Station> RefineStations(const std::vector<Station>& stations) {
    std::vector<Station> out;
    for (size_t i = 0; i < stations.size(); ++i) {
        out.push_back(stations[i]);
        if (i + 1 == stations.size()) break;
        const Station& a = stations[i];
        const Station& b = stations[i + 1];
        out.push_back({(a.T + b.T) / 2, (a.Scale + b.Scale) / 2,
                       (a.ShiftAcross + b.ShiftAcross) / 2, (a.ShiftUp + b.ShiftUp) / 2});
    }
    return out;
}

}  // namespace vexlor::testing
