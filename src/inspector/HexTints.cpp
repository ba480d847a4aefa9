// The hex view's tints.
#include "inspector/HexTints.h"

#include <array>

namespace vexlor::inspector {

namespace {

// Indexed by FieldKind.
constexpr std::array<QRgb, kFieldKindCount> kTints{
    0xb4b4b4,  // block id
    0xbc80bd,  // texture name offset
    0xfdb462,  // block type
    0xffed6f,  // slot count
    0xccebc5,  // slot table offset
    0xf1b6da,  // element count
    0xbebada,  // payload offset
    0xf0f0f0,  // not read (file header)
    0xfb8072,  // file size field
    0x6baed6,  // global offset field
    0x8dd3c7,  // slot table
    0xf0f0f0,  // face payload start
    0x6baed6,  // face vertex indices
    0xb3de69,  // face edge indices
    0xfb8072,  // face texture vertex indices
    0xbc80bd,  // face vertex normal indices
    0x8dd3c7,  // face normals
    0xe5c494,  // soft vectors
    0x6baed6,  // vertices
    0xbc80bd,  // vertex normals
    0xfb8072,  // texture vertices
    0xfb8072,  // hardpoint type
    0x6baed6,  // hardpoint position
    0xfb8072,  // mesh type
    0xe5c494,  // unknown longint
    0x6baed6,  // span
    0xb3de69,  // centre
    0x74c476,  // minima
    0xbc80bd,  // maxima
    0xe78ac3,  // target group type
    0x8dd3c7,  // target box centre
    0xb3de69,  // texture name
    0xb3de69,  // lo-res distances
};

}  // namespace

QColor TintOf(FieldKind kind) {
    const auto index = static_cast<size_t>(kind);
    return index < kTints.size() ? QColor(kTints[index]) : QColor();
}

}  // namespace vexlor::inspector
