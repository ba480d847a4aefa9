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

}  // namespace vexlor
