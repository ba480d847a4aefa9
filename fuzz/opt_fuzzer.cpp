// Fuzz target: arbitrary bytes as an OPT file, through everything the program does with one: the
// open, block displays, the report and the PRJ file.
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vexlor::fuzz::OpenedInput input(data, size);
    vexlor::OptDocument& document = input.Document();
    std::vector<std::string> shown;
    for (const int32_t node : vexlor::fuzz::SampleNodes(document.Model())) {
        shown.clear();
        document.DisplayBlock(node, shown);
    }
    vexlor::MemoryOutput report;
    vexlor::CrLfLineOutput lines(report);
    document.WriteReport(lines, "OPTvexlor - fuzz.opt");
    vexlor::MemoryOutput prj;
    document.WritePrj(prj);
    return 0;
}
