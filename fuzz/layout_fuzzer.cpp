// Fuzz target: arbitrary bytes as an OPT file, the block layouts behind the hex view: a sample of
// the tree's nodes with the description of bytes in and around each block and the record
// inspector's values of the record in its middle, and the innermost block of offsets across the
// file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "FuzzInput.h"
#include "inspector/plain/RecordValues.h"
#include "reader/BlockLayout.h"
#include "reader/ByteDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vexlor::fuzz::OpenedInput input(data, size);
    vexlor::OptDocument& document = input.Document();
    const vexlor::OptStream& stream = document.Stream();
    const vexlor::OptModel& model = document.Model();
    const vexlor::NumberText numbers;
    for (const int32_t node : vexlor::fuzz::SampleNodes(model)) {
        const vexlor::BlockLayout layout =
            vexlor::DescribeNode(stream, model.GlobalOffset, model.BlockTable, node);
        const vexlor::BlockExtent extent = layout.Extent();
        for (const int64_t offset : {extent.First - 1, extent.First, extent.Last, extent.Last + 1,
                                     layout.Position + 17, (extent.First + extent.Last) / 2})
            vexlor::DescribeByte(stream, model.GlobalOffset, layout, offset, numbers);
        const std::optional<vexlor::BytePlace> place =
            vexlor::PlaceInLayout(layout, (extent.First + extent.Last) / 2);
        if (place)
            vexlor::inspector::ValuesOfRecord(stream, model.GlobalOffset, place->Record,
                                              model.BlockTable[static_cast<size_t>(node)].Mesh,
                                              numbers);
    }
    // A handful of offsets, each a walk over the whole block table.
    for (int64_t offset = -1; offset <= stream.Size(); offset += 1 + stream.Size() / 7)
        vexlor::FindInnermostBlock(stream, model.GlobalOffset, model.BlockTable, offset);
    return 0;
}
