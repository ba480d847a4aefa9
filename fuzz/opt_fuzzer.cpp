// Fuzz target: arbitrary bytes as an OPT file, with every switch of the walk exercised.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "OptDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vexlor::OptDocument document;
    document.OpenBytes(std::vector<uint8_t>(data, data + size), "fuzz.opt");
    for (int32_t node = 0; node < document.Store().Tree.Count(); ++node)
        document.DisplayBlock(node);
    vexlor::MemoryOutput report;
    vexlor::CrLfLineOutput lines(report);
    document.WriteReport(lines, "OPTvexlor - fuzz.opt");
    vexlor::MemoryOutput prj;
    document.WritePrj(prj);
    return 0;
}
