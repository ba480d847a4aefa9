// The header's plain sanity checks: its file size, its global offset, its mesh count and the
// position of its mesh jump table, each against what the file is.
#include "HeaderCheck.h"

#include <limits>

#include "NumberText.h"

namespace vexlor {

namespace {
constexpr int64_t kHeaderSize = 22;

std::string Text(int64_t n) {
    return NumberText::IntText(n);
}
}  // namespace

std::string NotOptReason(const OptStream& stream) {
    const int64_t length = stream.Size();
    if (length < kHeaderSize) return {};
    const int64_t claimed = int64_t{stream.Int32At(4)} + 8;
    const int64_t globalOffset = int64_t{stream.Int32At(8)} - 8;
    const int32_t meshes = stream.Int32At(14);
    const int64_t table = int64_t{stream.Int32At(18)} - globalOffset;

    // A good file is exactly as long as its header says; a cut-off one is shorter.
    if (claimed < length)
        return "its header gives a file size of " + Text(claimed) + " but it is " + Text(length) +
               " bytes long";
    // Every block, from the end of the header to the end the header gives, has a positive
    // 32-bit stored offset.
    if (kHeaderSize + globalOffset < 1 ||
        claimed - 1 + globalOffset > std::numeric_limits<int32_t>::max())
        return "its global offset " + Text(globalOffset) + " is out of range";
    if (meshes < 0) return "its mesh count " + Text(meshes) + " is negative";
    if (4 * int64_t{meshes} > length - kHeaderSize)
        return "its mesh count " + Text(meshes) + " is more than its " + Text(length) +
               " bytes can hold";
    if (meshes > 0 && (table < 0 || table >= length))
        return "its mesh jump table at offset " + Text(table) + " lies outside the file";
    if (meshes > 0 && table < kHeaderSize)
        return "its mesh jump table at offset " + Text(table) + " lies in its header";
    return {};
}

}  // namespace vexlor
