// Fuzz target: arbitrary bytes as an OPT file, every tree node's block layout, the description of
// bytes in and around each block, and the innermost block of offsets across the file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "BlockLayout.h"
#include "ByteDescription.h"
#include "OptDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vexlor::OptDocument document;
    document.OpenBytes(std::vector<uint8_t>(data, data + size), "fuzz.opt");
    vexlor::OptStream& stream = document.Stream();
    const vexlor::OptModel& store = document.Model();
    const vexlor::NumberText numbers;
    for (int32_t node = 0; node < store.Tree.Count(); ++node) {
        const vexlor::BlockLayout layout =
            vexlor::DescribeNode(stream, store.GlobalOffset, store.BlockTable, node);
        const vexlor::BlockExtent extent = layout.Extent();
        for (const int64_t offset : {extent.First - 1, extent.First, extent.Last, extent.Last + 1,
                                     layout.Position + 17, (extent.First + extent.Last) / 2})
            vexlor::DescribeByte(stream, store.GlobalOffset, layout, offset, numbers);
    }
    // A handful of offsets, each a walk over the whole block table.
    for (int64_t offset = -1; offset <= stream.size(); offset += 1 + stream.size() / 7)
        vexlor::FindInnermostBlock(stream, store.GlobalOffset, store.BlockTable, offset);
    return 0;
}
