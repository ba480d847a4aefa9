// The block type codes of the OPT format, and which of them the walk treats as jump blocks
// (blocks whose payload is a table of pointers to child blocks).
#pragma once

#include <cstdint>

namespace vexlor {

enum BlockType : int32_t {
    kTypeJump = 0,
    kTypeFace = 1,
    kTypeVertex = 3,
    kTypeTexHeaderPointer = 7,
    kTypeVertexNormal = 11,
    kTypeTextureVertex = 13,
    kTypeTexHeader = 20,
    kTypeLod = 21,
    kTypeHardpoint = 22,
    kTypeFgTextures = 24,
    kTypeMeshDescriptor = 25,
};

// A texture header (20) is walked as a jump block and then read as a data block.
inline bool IsJumpType(int32_t type) {
    return type == kTypeJump || type == kTypeLod || type == kTypeFgTextures ||
           type == kTypeTexHeader;
}

// Sizes of the fixed parts of the format.
inline constexpr int64_t kFileHeaderSize = 22;
inline constexpr int64_t kBlockHeaderSize = 24;
// The header read as a jump block: its slot count and table lie at 14 and 18, the places where a
// block at 6 keeps them, so the root node lists the mesh jump table.
inline constexpr int64_t kRootBlockOffset = 6;
// A texture name: nine bytes, ending at its first zero byte.
inline constexpr int64_t kTextureNameBytes = 9;

}  // namespace vexlor
