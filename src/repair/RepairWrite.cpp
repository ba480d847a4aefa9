// The repaired copy of a file and its atomic write (see RepairWrite.h).
#include "repair/RepairWrite.h"

#include <bit>

#include "reader/AtomicFile.h"
#include "reader/FormatTables.h"
#include "reader/SameFileRule.h"

namespace vexlor {

namespace {

void PutSingle(std::vector<uint8_t>& bytes, int64_t at, float value) {
    const auto word = std::bit_cast<uint32_t>(value);
    for (int i = 0; i < format::kValueSize; ++i)
        bytes[static_cast<size_t>(at + i)] = static_cast<uint8_t>(word >> (8 * i));
}

}  // namespace

std::vector<uint8_t> RepairedBytes(const std::vector<uint8_t>& bytes, const RepairPlan& plan) {
    std::vector<uint8_t> repaired = bytes;
    const auto size = static_cast<int64_t>(bytes.size());
    for (const FieldChange& change : plan.Changes) {
        if (change.Offset < 0 || change.Offset > size - format::kVectorSize) continue;
        PutSingle(repaired, change.Offset, change.New.X);
        PutSingle(repaired, change.Offset + format::kValueSize, change.New.Y);
        PutSingle(repaired, change.Offset + 2 * format::kValueSize, change.New.Z);
    }
    return repaired;
}

Result WriteRepairedFile(const std::string& input, const std::string& output,
                         const std::vector<uint8_t>& bytes) {
    if (Result distinct = RefuseSameFile(input, output); !distinct.Ok()) return distinct;
    AtomicFile file;
    if (Result created = file.Create(output); !created.Ok()) return created;
    file.Write(bytes.data(), bytes.size());
    return file.Commit();
}

}  // namespace vexlor
