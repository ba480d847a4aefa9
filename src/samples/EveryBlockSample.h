// EveryBlockSample: one mesh with a block of every type the reader knows (and one it does not),
// the bytes between two blocks that no block owns, and where each block ended up. Tests of the
// block layout, the hex view and "Go to offset" point at these positions.
#pragma once

#include <cstdint>
#include <vector>

#include "samples/OptBuilder.h"

namespace vexlor::testing {

struct EveryBlockSample {
    static constexpr int32_t kGlobalOffset = 0x2000;

    EveryBlockSample();

    OptBuilder B{kGlobalOffset};
    int64_t Vertices = 0;    // 2 vertices, vertex 0 at (1, 0.5, -2)
    int64_t Normals = 0;     // 3 vertex normals
    int64_t TexVerts = 0;    // 2 texture vertices
    int64_t Faces = 0;       // 2 faces; face 1's vertex indices are 2, 1, 0, 57
    int64_t Hardpoint = 0;   // type 5 at (10, 0, -4)
    int64_t Descriptor = 0;  // mesh type 7
    int64_t TexHeader = 0;   // "wood", no children
    int64_t TexPointer = 0;  // to the texture header's name
    int64_t Gap = 0;         // 8 bytes of 0xEE
    int64_t Unknown = 0;     // type 2, a 4-byte payload
    int64_t Lod = 0;         // two empty slots, distances 100.5 and 0.001
    int64_t Root = 0;        // the mesh's root jump block, one slot per block above
    std::vector<uint8_t> Bytes;
};

}  // namespace vexlor::testing
