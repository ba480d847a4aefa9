// The corner grid, its non-finite side lists and the per-point memo.
#include "check/CornerIndex.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

#include "check/VectorMath.h"

namespace vexlor {

namespace {

// Cell coordinates stay well inside int64, so a neighbour (+-1) never overflows. Clamping keeps
// the cell function monotone, which is all the neighbour argument needs.
constexpr double kCellLimit = 1152921504606846976.0;  // 2^60

uint64_t Mix(uint64_t h) {
    h ^= h >> 30;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 27;
    h *= 0x94d049bb133111ebULL;
    h ^= h >> 31;
    return h;
}

bool HasNan(const Vec3& p) {
    return std::isnan(p.X) || std::isnan(p.Y) || std::isnan(p.Z);
}
bool IsFinite(const Vec3& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
}
float Axis(const Vec3& p, int axis) {
    return axis == 0 ? p.X : (axis == 1 ? p.Y : p.Z);
}

}  // namespace

size_t CornerIndex::CellHash::operator()(const Cell& c) const {
    return static_cast<size_t>(
        Mix(static_cast<uint64_t>(c.X) ^
            Mix(static_cast<uint64_t>(c.Y) ^ Mix(static_cast<uint64_t>(c.Z)))));
}

size_t CornerIndex::MemoHash::operator()(const MemoKey& k) const {
    const uint64_t xy = (uint64_t{k.X} << 32) | k.Y;
    const uint64_t zm = (uint64_t{k.Z} << 32) | static_cast<uint32_t>(k.Mesh);
    return static_cast<size_t>(Mix(xy ^ Mix(zm)));
}

CornerIndex::CornerIndex(const std::vector<DrawFace>& faces, float tol)
    : faces_(faces),
      entries_(static_cast<int64_t>(faces.size())),
      tol_(tol),
      // The grid serves any finite tolerance from zero up; anything else compares every corner.
      scanAll_(!(tol >= 0.0f) || !std::isfinite(tol)),
      inverseCellSize_(1.0 /
                       (2.0 * std::max(double{tol}, double{std::numeric_limits<float>::min()}))) {
    unitNormals_.resize(static_cast<size_t>(entries_));
    std::vector<Cell> cellOfCorner;
    std::vector<CornerId> finiteCorners;
    for (int64_t e = 0; e < entries_; ++e) {
        const DrawFace& face = faces_[static_cast<size_t>(e)];
        unitNormals_[static_cast<size_t>(e)] = UnitNormal(face);
        for (int q = 0; q < CornerCount(face); ++q) {
            const CornerId id = static_cast<CornerId>(e) * 4 + static_cast<CornerId>(q);
            const Vec3& p = face.Corners[static_cast<size_t>(q)];
            if (HasNan(p)) {
                nanCorners_.push_back(id);
            } else if (!IsFinite(p)) {
                for (int axis = 0; axis < 3; ++axis) {
                    const float v = Axis(p, axis);
                    if (std::isinf(v)) infiniteCorners_[2 * axis + (v < 0 ? 1 : 0)].push_back(id);
                }
            } else {
                finiteCorners.push_back(id);
                cellOfCorner.push_back(CellOf(p));
            }
        }
    }
    if (scanAll_) return;

    // Group the finite corners by cell, keeping id order inside each cell: count, place, fill.
    cells_.reserve(finiteCorners.size());
    for (const Cell& c : cellOfCorner)
        ++cells_[c].End;
    uint64_t next = 0;
    for (auto& [cell, range] : cells_) {
        range.Begin = next;
        next += range.End;
        range.End = range.Begin;  // the fill cursor
    }
    byCell_.resize(finiteCorners.size());
    for (size_t i = 0; i < finiteCorners.size(); ++i)
        byCell_[cells_[cellOfCorner[i]].End++] = finiteCorners[i];
}

int64_t CornerIndex::CellCoordinate(float value) const {
    const double c = std::floor(double{value} * inverseCellSize_);
    return static_cast<int64_t>(std::clamp(c, -kCellLimit, kCellLimit));
}

CornerIndex::Cell CornerIndex::CellOf(const Vec3& p) const {
    return {CellCoordinate(p.X), CellCoordinate(p.Y), CellCoordinate(p.Z)};
}

const Vec3& CornerIndex::Corner(CornerId id) const {
    return faces_[static_cast<size_t>(id / 4)].Corners[static_cast<size_t>(id % 4)];
}

CornerIndex::MemoKey CornerIndex::KeyOf(const Vec3& point, MeshFilter filter) {
    const int32_t mesh = filter.All ? -1 : filter.Mesh;
    if (HasNan(point)) return {0x7fc00000u, 0x7fc00000u, 0x7fc00000u, mesh};
    // With an infinity, only which coordinates hold which infinity decides the answer.
    const bool finite = IsFinite(point);
    auto bits = [finite](float v) {
        return (finite || std::isinf(v)) ? std::bit_cast<uint32_t>(v) : 0u;
    };
    return {bits(point.X), bits(point.Y), bits(point.Z), mesh};
}

NormalSum CornerIndex::Contributions(const Vec3& point, MeshFilter filter) {
    const MemoKey key = KeyOf(point, filter);
    if (const auto found = memo_.find(key); found != memo_.end()) return found->second;
    const NormalSum result = Compute(point, filter);
    memo_.emplace(key, result);
    return result;
}

NormalSum CornerIndex::Compute(const Vec3& point, MeshFilter filter) {
    if (HasNan(point)) return EveryCorner(filter);
    scratch_.clear();
    GatherCandidates(point, scratch_);
    std::sort(scratch_.begin(), scratch_.end());
    scratch_.erase(std::unique(scratch_.begin(), scratch_.end()), scratch_.end());
    NormalSum total;
    for (const CornerId id : scratch_) {
        const auto e = static_cast<size_t>(id / 4);
        if (!filter.Accepts(faces_[e])) continue;
        if (VecNear(point, Corner(id), tol_)) AddContribution(total, unitNormals_[e]);
    }
    return total;
}

void CornerIndex::GatherCandidates(const Vec3& point, std::vector<CornerId>& out) const {
    if (scanAll_) {
        for (int64_t e = 0; e < entries_; ++e) {
            const int corners = CornerCount(faces_[static_cast<size_t>(e)]);
            for (int q = 0; q < corners; ++q)
                out.push_back(static_cast<CornerId>(e) * 4 + static_cast<CornerId>(q));
        }
        return;
    }
    out.insert(out.end(), nanCorners_.begin(), nanCorners_.end());
    if (!IsFinite(point)) {
        // A finite corner is never near: its difference in the infinite coordinate is infinite
        // and no difference is NaN.
        for (int axis = 0; axis < 3; ++axis) {
            const float v = Axis(point, axis);
            if (!std::isinf(v)) continue;
            const auto& list = infiniteCorners_[2 * axis + (v < 0 ? 1 : 0)];
            out.insert(out.end(), list.begin(), list.end());
        }
        return;
    }
    // A finite point is never near a corner with an infinity (infinite distance, no NaN). A near
    // finite corner differs from the point by no more than the tolerance in each coordinate (plus
    // at most half a float step, from rounding the difference): about half a cell, so it lies in
    // the point's cell or a neighbour.
    const Cell centre = CellOf(point);
    for (int64_t dx = -1; dx <= 1; ++dx) {
        for (int64_t dy = -1; dy <= 1; ++dy) {
            for (int64_t dz = -1; dz <= 1; ++dz) {
                const auto found = cells_.find({centre.X + dx, centre.Y + dy, centre.Z + dz});
                if (found == cells_.end()) continue;
                out.insert(out.end(),
                           byCell_.begin() + static_cast<std::ptrdiff_t>(found->second.Begin),
                           byCell_.begin() + static_cast<std::ptrdiff_t>(found->second.End));
            }
        }
    }
}

NormalSum CornerIndex::EveryCorner(MeshFilter filter) const {
    NormalSum total;
    for (int64_t e = 0; e < entries_; ++e) {
        const DrawFace& face = faces_[static_cast<size_t>(e)];
        if (!filter.Accepts(face)) continue;
        for (int q = 0; q < CornerCount(face); ++q)
            AddContribution(total, unitNormals_[static_cast<size_t>(e)]);
    }
    return total;
}

}  // namespace vexlor
