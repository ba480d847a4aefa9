// Each shared edge once: the sides are visited from the last face back, a side whose edge a later
// face already drew is passed over, and the kept sides are put back in draw order.
#include "view/EdgeList.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace vexlor::view {

namespace {

// A corner's position as the bits of its three floats, -0 taken as +0 (the same point).
using PointBits = std::array<uint32_t, 3>;

PointBits BitsOf(const Vec3& corner) {
    PointBits bits{};
    const float values[3] = {corner.X, corner.Y, corner.Z};
    for (size_t i = 0; i < 3; ++i) {
        const float value = values[i] == 0.0f ? 0.0f : values[i];
        std::memcpy(&bits[i], &value, sizeof(float));
    }
    return bits;
}

// An edge by its two ends, the smaller first, so that both directions give one key.
struct EdgeKey {
    PointBits Low, High;
    bool operator==(const EdgeKey&) const = default;
};

EdgeKey KeyOf(const Vec3& a, const Vec3& b) {
    const PointBits first = BitsOf(a), second = BitsOf(b);
    return first < second ? EdgeKey{first, second} : EdgeKey{second, first};
}

uint64_t HashOf(const EdgeKey& key) {
    uint64_t hash = 0x9E3779B97F4A7C15ull;
    for (const PointBits& point : {key.Low, key.High}) {
        for (const uint32_t word : point) {
            hash ^= word;
            hash *= 0xBF58476D1CE4E5B9ull;
            hash ^= hash >> 31;
        }
    }
    return hash;
}

constexpr uint32_t kEmpty = UINT32_MAX;

// The edges already drawn by later faces: an open-addressing set of side numbers (4i + k: side
// k of face i, from corner k to corner k + 1), compared by their ends.
class DrawnEdges {
  public:
    DrawnEdges(std::span<const DrawFace> faces, size_t sides)
        : faces_(faces), slots_(std::bit_ceil(std::max<size_t>(sides * 2, 16)), kEmpty) {}

    // Adds the side's edge; false when a side with the same ends is in already.
    bool Add(uint32_t side) {
        const EdgeKey key = KeyOfSide(side);
        const size_t mask = slots_.size() - 1;
        for (size_t slot = HashOf(key) & mask;; slot = (slot + 1) & mask) {
            if (slots_[slot] == kEmpty) {
                slots_[slot] = side;
                return true;
            }
            if (KeyOfSide(slots_[slot]) == key) return false;
        }
    }

  private:
    EdgeKey KeyOfSide(uint32_t side) const {
        const auto& corners = faces_[side / 4].Corners;
        return KeyOf(corners[side % 4], corners[(side + 1) % 4]);
    }

    std::span<const DrawFace> faces_;
    std::vector<uint32_t> slots_;
};

bool SamePoint(const Vec3& a, const Vec3& b) {
    return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

}  // namespace

void FillEdgeList(std::span<const DrawFace> faces, const FaceSelection& shown,
                  std::vector<uint32_t>& corners) {
    const auto count = static_cast<size_t>(DrawableFaceCount(faces));
    std::vector<uint32_t> sides;
    sides.reserve(count * 4);
    for (size_t i = 0; i < count; ++i) {
        const DrawFace& face = faces[i];
        if (!shown.Draws(face)) continue;
        for (uint32_t k = 0; k < 4; ++k) {
            if (!SamePoint(face.Corners[k], face.Corners[(k + 1) % 4]))
                sides.push_back(static_cast<uint32_t>(i * 4 + k));
        }
    }
    DrawnEdges drawn(faces, sides.size());
    corners.clear();
    corners.reserve(sides.size() * 2);
    for (auto side = sides.rbegin(); side != sides.rend(); ++side) {
        if (!drawn.Add(*side)) continue;
        const uint32_t face = *side / 4 * 4;
        // Pushed end first: the whole list is reversed below.
        corners.push_back(face + (*side + 1) % 4);
        corners.push_back(*side);
    }
    std::reverse(corners.begin(), corners.end());
}

}  // namespace vexlor::view
