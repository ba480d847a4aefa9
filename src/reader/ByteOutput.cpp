// Byte destinations in memory, and CR LF report lines.
#include "reader/ByteOutput.h"

#include <cstring>

namespace vexlor {

void MemoryOutput::Write(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + size);
}

void MemoryOutput::WriteAt(int64_t position, const void* data, size_t size) {
    if (position < 0) return;
    const auto at = static_cast<size_t>(position);
    if (bytes_.size() < at + size) bytes_.resize(at + size);
    std::memcpy(bytes_.data() + at, data, size);
}

void CrLfLineOutput::WriteLine(std::string_view line) {
    out_.Write(line.data(), line.size());
    out_.Write("\r\n", 2);
}

}  // namespace vexlor
