// Fuzz target: arbitrary bytes as an OPT file, repaired with every field chosen in both vertex
// normal modes. A repair must never crash, must write only whole fields of records the walk read
// (each change at the place its block's schema gives its record and field, holding the old value
// the plan names, no two sharing a byte), and must be idempotent: the repair of its own output
// changes nothing.
#include <bit>
#include <cstdlib>

#include "FuzzInput.h"
#include "reader/BlockRegions.h"
#include "reader/FormatTables.h"
#include "repair/RepairWrite.h"

namespace {

using vexlor::FieldChange;
using vexlor::RepairPlan;

bool SameBits(const vexlor::Vec3& a, const vexlor::Vec3& b) {
    return std::bit_cast<uint32_t>(a.X) == std::bit_cast<uint32_t>(b.X) &&
           std::bit_cast<uint32_t>(a.Y) == std::bit_cast<uint32_t>(b.Y) &&
           std::bit_cast<uint32_t>(a.Z) == std::bit_cast<uint32_t>(b.Z);
}

// The change lies where its block's schema puts record `Record`'s field, wholly in the file.
bool AtItsRecord(const vexlor::OptDocument& document, const FieldChange& change) {
    const vexlor::OptStream& stream = document.Stream();
    const vexlor::BlockRegions block = vexlor::LocateBlock(stream, document.Model().GlobalOffset,
                                                           change.BlockOffset, change.BlockType);
    for (const vexlor::RegionPlace& region : block.Regions()) {
        if (region.Schema->Name != change.Region) continue;
        if (change.Record < 0 || change.Record >= region.RecordsIn(stream)) return false;
        for (const vexlor::FieldSchema& field : region.Schema->Fields) {
            if (field.Name == change.Field)
                return region.RecordOffset(change.Record) + field.Offset == change.Offset &&
                       SameBits(stream.Vec3At(change.Offset), change.Old);
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    vexlor::fuzz::BoundMeshCount(bytes);
    vexlor::fuzz::OpenedInput input(bytes.data(), bytes.size());
    for (const auto mode :
         {vexlor::VertexNormalCheck::WholeModel, vexlor::VertexNormalCheck::MeshByMesh}) {
        const vexlor::RepairChoice choice{true, true, mode};
        const RepairPlan plan = vexlor::PlanRepair(input.Document(), choice);
        int64_t end = 0;
        for (const FieldChange& change : plan.Changes) {
            if (change.Offset < end || !AtItsRecord(input.Document(), change)) std::abort();
            end = change.Offset + vexlor::format::kVectorSize;
        }
        const std::vector<uint8_t> repaired = vexlor::RepairedBytes(bytes, plan);
        vexlor::OptDocument again;
        again.SetWalkBudget(vexlor::fuzz::kBudget);
        again.OpenBytes(repaired, "repaired.opt");
        if (!vexlor::PlanRepair(again, choice).Changes.empty()) std::abort();
    }
    return 0;
}
