// Matching the tree nodes of two files by their place: parent, slot and type.
#include "compare/BlockMatch.h"

#include <map>
#include <tuple>

#include "reader/BlockRegions.h"

namespace vexlor {

namespace {

// The children of `parent` in the order the walk added them took the readable non-empty slots
// of its table in slot order, each leading to the child's position.
void AssignSlots(const OptDocument& document, int32_t parent, std::vector<int64_t>& slots) {
    const OptModel& model = document.Model();
    const std::vector<int32_t>& children = model.Tree.Node(parent).Children;
    if (children.empty()) return;
    const OptStream& stream = document.Stream();
    const std::optional<BlockRegions> regions =
        LocateNode(stream, model.GlobalOffset, model.BlockTable, parent);
    size_t next = 0;
    // Region 1 of the file header and of every jump block is its table of child offsets.
    if (regions && regions->Regions().size() > 1) {
        const RegionPlace& table = regions->Region(1);
        const int64_t records = table.RecordsIn(stream);
        for (int64_t slot = 0; slot < records && next < children.size(); ++slot) {
            const int32_t stored = stream.Int32At(table.RecordOffset(slot));
            if (stored == 0 && parent != 0) continue;
            const size_t child = static_cast<size_t>(children[next]);
            if (stored - model.GlobalOffset != model.BlockTable[child].Offset) continue;
            slots[child] = slot;
            ++next;
        }
    }
    for (; next < children.size(); ++next)
        slots[static_cast<size_t>(children[next])] = -2 - static_cast<int64_t>(next);
}

}  // namespace

std::vector<int64_t> NodeSlots(const OptDocument& document) {
    const OptModel& model = document.Model();
    const int32_t count =
        std::min<int32_t>(model.Tree.Count(), static_cast<int32_t>(model.BlockTable.size()));
    std::vector<int64_t> slots(static_cast<size_t>(count), -1);
    for (int32_t node = 0; node < count; ++node)
        AssignSlots(document, node, slots);
    return slots;
}

std::vector<int32_t> MatchNodes(const OptDocument& a, const OptDocument& b) {
    using Place = std::tuple<int32_t, int64_t, int32_t>;  // parent, slot, type
    const std::vector<int64_t> slotsA = NodeSlots(a);
    const std::vector<int64_t> slotsB = NodeSlots(b);
    std::map<Place, int32_t> placesA;
    for (size_t node = 1; node < slotsA.size(); ++node)
        placesA.emplace(Place{a.Model().Tree.Node(static_cast<int32_t>(node)).Parent, slotsA[node],
                              a.Model().BlockTable[node].Type},
                        static_cast<int32_t>(node));
    std::vector<int32_t> match(slotsB.size(), -1);
    if (!match.empty() && !slotsA.empty()) match[0] = 0;
    // Pre-order: a parent's match is known before its children are looked at.
    for (size_t node = 1; node < slotsB.size(); ++node) {
        const int32_t parent = b.Model().Tree.Node(static_cast<int32_t>(node)).Parent;
        const int32_t parentA = parent >= 0 ? match[static_cast<size_t>(parent)] : -1;
        if (parentA < 0) continue;
        const auto found =
            placesA.find(Place{parentA, slotsB[node], b.Model().BlockTable[node].Type});
        if (found != placesA.end()) match[node] = found->second;
    }
    return match;
}

}  // namespace vexlor
