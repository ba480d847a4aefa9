// Choosing the coarse frame's levels.
#include "view/CoarseLevels.h"

#include <algorithm>
#include <unordered_map>

#include "view/Wireframe.h"

namespace vexlor::view {

namespace {

constexpr size_t kMeshNumbers = 65536;

}  // namespace

void CoarseLevels::Count(std::span<const DrawFace> faces) {
    std::unordered_map<uint32_t, int64_t> counted;
    // Faces come in runs of one mesh and level: count a run before looking it up.
    uint32_t run = 0;
    int64_t length = 0;
    for (const DrawFace& face : faces) {
        if (!HasFiniteCorners(face)) continue;
        const uint32_t key = uint32_t{static_cast<uint16_t>(face.Mesh)} << 8 | face.Lod;
        if (length > 0 && key != run) {
            counted[run] += length;
            length = 0;
        }
        run = key;
        ++length;
    }
    if (length > 0) counted[run] += length;
    counts_.clear();
    for (const auto& [key, number] : counted)
        counts_.push_back({static_cast<uint16_t>(key >> 8), static_cast<uint8_t>(key), number});
    std::sort(counts_.begin(), counts_.end(), [](const MeshLevel& a, const MeshLevel& b) {
        return a.Mesh != b.Mesh ? a.Mesh < b.Mesh : a.Lod < b.Lod;
    });
}

uint8_t CoarseLevels::LevelFor(size_t first, size_t last, int32_t showLod, int32_t bound) const {
    uint8_t level = 0;
    if (showLod != 0) {
        bool drawn = false;
        for (size_t i = first; i < last; ++i) {
            drawn = drawn || counts_[i].Lod == showLod;
            if (counts_[i].Lod >= showLod && counts_[i].Lod <= bound) level = counts_[i].Lod;
        }
        return drawn ? level : 0;
    }
    uint8_t finest = 0;
    for (size_t i = first; i < last; ++i) {
        if (counts_[i].Lod == 0) continue;
        if (finest == 0) finest = counts_[i].Lod;
        if (counts_[i].Lod <= bound) level = counts_[i].Lod;
    }
    return level != 0 ? level : finest;
}

int64_t CoarseLevels::FacesAt(int32_t showLod, int32_t bound, std::vector<uint8_t>* table) const {
    int64_t faces = 0;
    for (size_t first = 0; first < counts_.size();) {
        size_t last = first;
        while (last < counts_.size() && counts_[last].Mesh == counts_[first].Mesh)
            ++last;
        const uint8_t level = LevelFor(first, last, showLod, bound);
        for (size_t i = first; i < last; ++i) {
            if (level != 0 && counts_[i].Lod == level) faces += counts_[i].Faces;
        }
        if (table != nullptr) (*table)[counts_[first].Mesh] = level;
        first = last;
    }
    return faces;
}

std::optional<CoarseLevels::Choice> CoarseLevels::Choose(int32_t showLod, double fullMs,
                                                         double budgetMs) {
    int64_t full = 0;
    int32_t finest = 0, coarsest = 0;
    for (const MeshLevel& entry : counts_) {
        if (showLod == 0 || entry.Lod == showLod) full += entry.Faces;
        coarsest = std::max<int32_t>(coarsest, entry.Lod);
    }
    finest = showLod == 0 ? 1 : showLod + 1;
    if (full == 0) return std::nullopt;
    const double msPerFace = fullMs / static_cast<double>(full);
    int32_t chosen = 0;
    int64_t fewest = full;
    for (int32_t bound = finest; bound <= coarsest; ++bound) {
        const int64_t faces = FacesAt(showLod, bound, nullptr);
        if (faces >= full) continue;
        if (static_cast<double>(faces) * msPerFace <= budgetMs) {
            chosen = bound;
            break;
        }
        if (faces < fewest) {
            fewest = faces;
            chosen = bound;
        }
    }
    if (chosen == 0) return std::nullopt;
    table_.assign(kMeshNumbers, 0);
    Choice choice;
    choice.Faces = FacesAt(showLod, chosen, &table_);
    choice.Key = showLod * 256 + chosen;
    choice.LevelOfMesh = table_;
    return choice;
}

}  // namespace vexlor::view
