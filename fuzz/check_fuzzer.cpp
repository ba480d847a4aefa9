// Fuzz target: arbitrary bytes as an OPT file, through the consistency check in each of its
// three vertex normal modes.
//
// The header's mesh count is bounded before the input is opened (BoundMeshCount); the reader's
// target takes the counts as they come.
#include "FuzzInput.h"
#include "check/ConsistencyCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    vexlor::fuzz::BoundMeshCount(bytes);
    vexlor::fuzz::OpenedInput input(bytes.data(), bytes.size());
    for (const auto mode :
         {vexlor::VertexNormalCheck::WholeModel, vexlor::VertexNormalCheck::MeshByMesh,
          vexlor::VertexNormalCheck::None}) {
        std::vector<std::string> lines;
        vexlor::RunConsistencyCheck(input.Document(), mode, lines);
    }
    return 0;
}
