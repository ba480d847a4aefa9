// The pick index: built by splitting the faces at the median of their centres along the longest
// side of their box, and walked nearest box first.
#include "view/FacePicker.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "view/Wireframe.h"

namespace vexlor::view {

namespace {

constexpr uint32_t kLeafFaces = 4;

struct Box {
    float Lo[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                   std::numeric_limits<float>::max()};
    float Hi[3] = {-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                   -std::numeric_limits<float>::max()};
    void Add(const Vec3& p) {
        const float v[3] = {p.X, p.Y, p.Z};
        for (int a = 0; a < 3; ++a) {
            Lo[a] = std::min(Lo[a], v[a]);
            Hi[a] = std::max(Hi[a], v[a]);
        }
    }
    void Add(const Box& b) {
        for (int a = 0; a < 3; ++a) {
            Lo[a] = std::min(Lo[a], b.Lo[a]);
            Hi[a] = std::max(Hi[a], b.Hi[a]);
        }
    }
};

// Where the line meets the triangle, as its parameter t; none when it passes by (or runs in
// the triangle's plane). Edges and corners count as inside.
bool HitTriangle(const FrameTransform::Ray& ray, const Vec3& a, const Vec3& b, const Vec3& c,
                 double& t) {
    const Vec3d e1{double(b.X) - a.X, double(b.Y) - a.Y, double(b.Z) - a.Z};
    const Vec3d e2{double(c.X) - a.X, double(c.Y) - a.Y, double(c.Z) - a.Z};
    const Vec3d& d = ray.Direction;
    const Vec3d p{d.Y * e2.Z - d.Z * e2.Y, d.Z * e2.X - d.X * e2.Z, d.X * e2.Y - d.Y * e2.X};
    const double det = e1.X * p.X + e1.Y * p.Y + e1.Z * p.Z;
    if (det == 0 || !std::isfinite(det)) return false;
    const double inverse = 1.0 / det;
    const Vec3d s{ray.Origin.X - a.X, ray.Origin.Y - a.Y, ray.Origin.Z - a.Z};
    const double u = (s.X * p.X + s.Y * p.Y + s.Z * p.Z) * inverse;
    if (u < 0 || u > 1) return false;
    const Vec3d q{s.Y * e1.Z - s.Z * e1.Y, s.Z * e1.X - s.X * e1.Z, s.X * e1.Y - s.Y * e1.X};
    const double v = (d.X * q.X + d.Y * q.Y + d.Z * q.Z) * inverse;
    if (v < 0 || u + v > 1) return false;
    t = (e2.X * q.X + e2.Y * q.Y + e2.Z * q.Z) * inverse;
    return t >= ray.TMin && t <= ray.TMax;
}

// The nearest hit of the face (largest t), if any.
bool HitFace(const FrameTransform::Ray& ray, const DrawFace& face, double& t) {
    const auto& c = face.Corners;
    double t1 = 0, t2 = 0;
    const bool first = HitTriangle(ray, c[0], c[1], c[2], t1);
    const bool second = HitTriangle(ray, c[0], c[2], c[3], t2);
    if (!first && !second) return false;
    t = first && second ? std::max(t1, t2) : (first ? t1 : t2);
    return true;
}

// Keeps the nearer hit; of equally near ones the later face.
void Consider(PickHit& best, double& bestT, int64_t face, double t) {
    if (best.Face < 0 || t > bestT || (t == bestT && face > best.Face)) {
        best.Face = face;
        bestT = t;
    }
}

// The part of the line inside the box, as [t0, t1]; false when it misses.
bool HitBox(const FrameTransform::Ray& ray, const float lo[3], const float hi[3], double& t0,
            double& t1) {
    t0 = ray.TMin;
    t1 = ray.TMax;
    const double origin[3] = {ray.Origin.X, ray.Origin.Y, ray.Origin.Z};
    const double direction[3] = {ray.Direction.X, ray.Direction.Y, ray.Direction.Z};
    for (int a = 0; a < 3; ++a) {
        if (direction[a] == 0) {
            if (origin[a] < lo[a] || origin[a] > hi[a]) return false;
            continue;
        }
        const double inverse = 1.0 / direction[a];
        double near = (lo[a] - origin[a]) * inverse, far = (hi[a] - origin[a]) * inverse;
        if (near > far) std::swap(near, far);
        // A little slack: the triangle test decides on the exact edge.
        const double slack = 1e-9 * (std::fabs(near) + std::fabs(far) + 1);
        t0 = std::max(t0, near - slack);
        t1 = std::min(t1, far + slack);
        if (t0 > t1) return false;
    }
    return true;
}

}  // namespace

void FacePicker::Build(std::span<const DrawFace> faces, int32_t showLod) {
    nodes_.clear();
    order_.clear();
    faces_ = faces.data();
    faceCount_ = faces.size();
    showLod_ = showLod;
    built_ = true;
    // Draw indices are kept in 32 bits, as in the wireframe's buffers.
    const size_t count = std::min<size_t>(faces.size(), std::numeric_limits<uint32_t>::max());
    std::vector<Box> boxes;
    std::vector<std::array<float, 3>> centres;
    order_.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        if (IsDrawnAtLod(faces[i], showLod)) order_.push_back(static_cast<uint32_t>(i));
    }
    if (order_.empty()) return;
    boxes.resize(faces.size() > count ? count : faces.size());
    centres.resize(boxes.size());
    for (const uint32_t i : order_) {
        for (const Vec3& c : faces[i].Corners)
            boxes[i].Add(c);
        for (int a = 0; a < 3; ++a)
            centres[i][static_cast<size_t>(a)] = (boxes[i].Lo[a] + boxes[i].Hi[a]) / 2;
    }
    nodes_.reserve(order_.size() / kLeafFaces * 2 + 1);

    struct Task {
        uint32_t Node, Begin, End;
    };
    std::vector<Task> tasks;
    nodes_.push_back({});
    tasks.push_back({0, 0, static_cast<uint32_t>(order_.size())});
    while (!tasks.empty()) {
        const Task task = tasks.back();
        tasks.pop_back();
        Box box, centreBox;
        for (uint32_t k = task.Begin; k < task.End; ++k) {
            box.Add(boxes[order_[k]]);
            const auto& c = centres[order_[k]];
            centreBox.Add(Vec3{c[0], c[1], c[2]});
        }
        Node& node = nodes_[task.Node];
        std::copy(box.Lo, box.Lo + 3, node.Lo);
        std::copy(box.Hi, box.Hi + 3, node.Hi);
        const uint32_t size = task.End - task.Begin;
        int axis = 0;
        for (int a = 1; a < 3; ++a) {
            if (centreBox.Hi[a] - centreBox.Lo[a] > centreBox.Hi[axis] - centreBox.Lo[axis])
                axis = a;
        }
        if (size <= kLeafFaces) {
            node.First = task.Begin;
            node.Count = size;
            continue;
        }
        const uint32_t middle = task.Begin + size / 2;
        std::nth_element(order_.begin() + task.Begin, order_.begin() + middle,
                         order_.begin() + task.End, [&](uint32_t x, uint32_t y) {
                             return centres[x][static_cast<size_t>(axis)] <
                                    centres[y][static_cast<size_t>(axis)];
                         });
        const auto left = static_cast<uint32_t>(nodes_.size());
        nodes_.push_back({});
        const auto right = static_cast<uint32_t>(nodes_.size());
        nodes_.push_back({});
        // Written through the index: push_back may have moved the nodes.
        nodes_[task.Node].First = left;
        nodes_[task.Node].Count = 0;
        tasks.push_back({right, middle, task.End});
        tasks.push_back({left, task.Begin, middle});
    }
}

bool FacePicker::BuiltFor(std::span<const DrawFace> faces, int32_t showLod) const {
    return built_ && faces.data() == faces_ && faces.size() == faceCount_ && showLod == showLod_;
}

PickHit FacePicker::Pick(std::span<const DrawFace> faces, const FrameTransform& frame, double wx,
                         double wy) const {
    PickHit best;
    if (nodes_.empty() || faces.size() != faceCount_) return best;
    const auto ray = frame.RayAt(wx, wy);
    if (!ray) return best;
    double bestT = -std::numeric_limits<double>::infinity();
    struct Visit {
        uint32_t Node;
        double Far;  // the largest t at which the line is in the node's box
    };
    Visit stack[128];
    int top = 0;
    double t0, t1;
    if (!HitBox(*ray, nodes_[0].Lo, nodes_[0].Hi, t0, t1)) return best;
    stack[top++] = {0, t1};
    while (top > 0) {
        const Visit visit = stack[--top];
        // Everything in this box lies behind the best hit so far.
        if (best.Face >= 0 && visit.Far < bestT) continue;
        const Node& node = nodes_[visit.Node];
        if (node.Count > 0) {
            for (uint32_t k = node.First; k < node.First + node.Count; ++k) {
                double t;
                if (HitFace(*ray, faces[order_[k]], t)) Consider(best, bestT, order_[k], t);
            }
            continue;
        }
        const uint32_t children[2] = {node.First, node.First + 1};
        Visit found[2];
        int hits = 0;
        for (const uint32_t child : children) {
            if (HitBox(*ray, nodes_[child].Lo, nodes_[child].Hi, t0, t1))
                found[hits++] = {child, t1};
        }
        // The nearer box (larger t) is visited first: pushed last.
        if (hits == 2 && found[0].Far > found[1].Far) std::swap(found[0], found[1]);
        for (int h = 0; h < hits && top < 128; ++h)
            stack[top++] = found[h];
    }
    if (best.Face >= 0) best.Depth = bestT * frame.Scale();
    return best;
}

PickHit PickByScan(std::span<const DrawFace> faces, int32_t showLod, const FrameTransform& frame,
                   double wx, double wy) {
    PickHit best;
    const auto ray = frame.RayAt(wx, wy);
    if (!ray) return best;
    double bestT = -std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < faces.size(); ++i) {
        if (!IsDrawnAtLod(faces[i], showLod)) continue;
        double t;
        if (HitFace(*ray, faces[i], t)) Consider(best, bestT, static_cast<int64_t>(i), t);
    }
    if (best.Face >= 0) best.Depth = bestT * frame.Scale();
    return best;
}

}  // namespace vexlor::view
