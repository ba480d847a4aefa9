// Files that claim far more than they hold, for the tests and benchmarks of hostile input: sparse
// files whose holes cost no disk.
#pragma once

#include <cstdint>
#include <string>

namespace vexlor::testing {

// A sparse file of `length` bytes whose header claims 2^31 - 1 meshes, with the mesh jump table
// right after the header and a global offset: every mesh entry, a hole and so 0, points outside
// the file.
void WriteMeshCountClaimant(const std::string& path, int64_t length);

// A sparse file of `length` zero bytes.
void WriteZeros(const std::string& path, int64_t length);

}  // namespace vexlor::testing
