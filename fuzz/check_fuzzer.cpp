// Fuzz target: arbitrary bytes as an OPT file, through the consistency check in each of its
// three vertex normal modes.
//
// The check writes a few lines for every mesh, even one it cannot read, so an input whose mesh
// count a mutation has made large would spend its time on those lines: the header's mesh count
// is bounded before the input is opened. The reader's target takes the counts as they come.
#include "FuzzInput.h"
#include "check/ConsistencyCheck.h"

namespace {

constexpr size_t kMeshCountField = 14;
constexpr int32_t kMostMeshes = 64;

void BoundMeshCount(std::vector<uint8_t>& bytes) {
    if (bytes.size() < kMeshCountField + 4) return;
    uint32_t count = 0;
    for (size_t i = 4; i-- > 0;)
        count = count << 8 | bytes[kMeshCountField + i];
    if (static_cast<int32_t>(count) <= kMostMeshes) return;
    for (size_t i = 0; i < 4; ++i)
        bytes[kMeshCountField + i] = static_cast<uint8_t>(uint32_t{kMostMeshes} >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    BoundMeshCount(bytes);
    vexlor::fuzz::OpenedInput input(bytes.data(), bytes.size());
    for (const auto mode :
         {vexlor::VertexNormalCheck::WholeModel, vexlor::VertexNormalCheck::MeshByMesh,
          vexlor::VertexNormalCheck::None}) {
        std::vector<std::string> lines;
        vexlor::RunConsistencyCheck(input.Document(), mode, lines);
    }
    return 0;
}
