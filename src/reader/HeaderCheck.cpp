// The header's plain sanity checks: its file size, its global offset, its mesh count and the
// position of its mesh jump table, each against what the file is.
#include "reader/HeaderCheck.h"

#include <limits>

#include "reader/FormatTables.h"
#include "reader/NumberText.h"

namespace vexlor {

namespace {

std::string Text(int64_t n) {
    return NumberText::IntText(n);
}
}  // namespace

std::string NotOptReason(const OptStream& stream) {
    const int64_t length = stream.Size();
    if (length == 0) return "it is empty";
    if (length < kFileHeaderSize)
        return "its " + Text(length) + " bytes cannot hold the " + Text(kFileHeaderSize) +
               "-byte header";
    const int64_t claimed = int64_t{stream.Int32At(kFileSizeField)} + kFileHeaderBias;
    const int64_t globalOffset = int64_t{stream.Int32At(kGlobalOffsetField)} - kFileHeaderBias;
    const int32_t meshes = stream.Int32At(kMeshCountField);
    const int64_t table = int64_t{stream.Int32At(kMeshTableField)} - globalOffset;

    // A good file is exactly as long as its header says; a cut-off one is shorter.
    if (claimed < length)
        return "its header gives a file size of " + Text(claimed) + " but it is " + Text(length) +
               " bytes long";
    // Every block, from the end of the header to the end the header gives, has a positive
    // 32-bit stored offset.
    if (kFileHeaderSize + globalOffset < 1 ||
        claimed - 1 + globalOffset > std::numeric_limits<int32_t>::max())
        return "its global offset " + Text(globalOffset) + " is out of range";
    if (meshes < 0) return "its mesh count " + Text(meshes) + " is negative";
    if (format::kMeshTable.RecordSize * int64_t{meshes} > length - kFileHeaderSize)
        return "its mesh count " + Text(meshes) + " is more than its " + Text(length) +
               " bytes can hold";
    if (meshes > 0 && (table < 0 || table >= length))
        return "its mesh jump table at offset " + Text(table) + " lies outside the file";
    if (meshes > 0 && table < kFileHeaderSize)
        return "its mesh jump table at offset " + Text(table) + " lies in its header";
    return {};
}

}  // namespace vexlor
