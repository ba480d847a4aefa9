#include "samples/SparseClaimant.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace vexlor::testing {

void WriteMeshCountClaimant(const std::string& path, int64_t length) {
    constexpr int64_t kGlobalOffset = 0xA40000;
    std::vector<char> header;
    const auto put = [&](int64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header.push_back(static_cast<char>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFF));
    };
    put(-2, 4);                      // the header's first word
    put(length - 8, 4);              // the file size, less the 8 bytes before it
    put(kGlobalOffset + 8, 4);       // the global offset, stored with the same bias
    put(0, 2);                       // the header's short
    put((int64_t{1} << 31) - 1, 4);  // the mesh count
    put(22 + kGlobalOffset, 4);      // the mesh jump table, right after the header
    std::ofstream(path, std::ios::binary).write(header.data(), std::ssize(header));
    std::filesystem::resize_file(path, static_cast<uintmax_t>(length));
}

void WriteZeros(const std::string& path, int64_t length) {
    std::ofstream(path, std::ios::binary).close();
    std::filesystem::resize_file(path, static_cast<uintmax_t>(length));
}

}  // namespace vexlor::testing
