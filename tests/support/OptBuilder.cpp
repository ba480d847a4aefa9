// OptBuilder: appends OPT blocks to a byte buffer and fills in the file header on build().
// All numbers are written byte by byte in little-endian order, whatever the host.
#include "OptBuilder.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace vexlor::testing {

namespace {

void store32(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t load32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
           (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

void checkRange(const std::vector<uint8_t>& file, int64_t position) {
    if (position < 0 || position + 4 > static_cast<int64_t>(file.size())) {
        throw std::out_of_range("OptBuilder: 4-byte access outside the buffer");
    }
}

// Writes a run of 32-bit values into a region that has already been sized.
class Cursor {
  public:
    explicit Cursor(uint8_t* at) : at_(at) {}
    void i32(int32_t v) {
        store32(at_, static_cast<uint32_t>(v));
        at_ += 4;
    }
    void f32(float v) {
        store32(at_, std::bit_cast<uint32_t>(v));
        at_ += 4;
    }
    void v3(const V3& v) {
        f32(v.x);
        f32(v.y);
        f32(v.z);
    }

  private:
    uint8_t* at_;
};

// Common header fields.
constexpr int64_t kName = 0;
constexpr int64_t kType = 4;
constexpr int64_t kSlotCount = 8;
constexpr int64_t kSlotTable = 12;
constexpr int64_t kCount = 16;
constexpr int64_t kPayload = 20;

}  // namespace

OptBuilder::OptBuilder(int32_t globalOffset)
    : globalOffset_(globalOffset), bytes_(static_cast<size_t>(kFileHeaderSize), 0) {}

int32_t OptBuilder::storedOffset(int64_t filePosition) const {
    const int64_t stored = filePosition + globalOffset_;
    if (stored < std::numeric_limits<int32_t>::min() ||
        stored > std::numeric_limits<int32_t>::max()) {
        throw std::overflow_error("OptBuilder: stored offset does not fit in 32 bits");
    }
    return static_cast<int32_t>(stored);
}

int32_t OptBuilder::slotValue(int64_t child) const {
    return child == 0 ? 0 : storedOffset(child);
}

void OptBuilder::put32(int64_t position, int32_t value) {
    checkRange(bytes_, position);
    store32(bytes_.data() + position, static_cast<uint32_t>(value));
}

void OptBuilder::putFloat(int64_t position, float value) {
    put32(position, std::bit_cast<int32_t>(value));
}

int64_t OptBuilder::beginBlock(int64_t extra) {
    const int64_t p = size();
    // Fail before growing when the block's end could not be addressed by a stored offset.
    storedOffset(p + kBlockHeaderSize + extra);
    bytes_.resize(static_cast<size_t>(p + kBlockHeaderSize + extra), 0);
    return p;
}

int64_t OptBuilder::addJump(int32_t type, const std::vector<int64_t>& children) {
    const auto n = static_cast<int64_t>(children.size());
    const int64_t p = beginBlock(4 * n);
    put32(p + kType, type);
    put32(p + kSlotCount, static_cast<int32_t>(n));
    put32(p + kSlotTable, n > 0 ? storedOffset(p + kBlockHeaderSize) : 0);
    for (int64_t i = 0; i < n; ++i) {
        put32(p + kBlockHeaderSize + 4 * i, slotValue(children[static_cast<size_t>(i)]));
    }
    return p;
}

int64_t OptBuilder::addLod(const std::vector<int64_t>& children,
                           const std::vector<float>& distances) {
    const auto m = static_cast<int64_t>(distances.size());
    const int64_t p = addJump(21, children);
    const int64_t table = size();
    bytes_.resize(static_cast<size_t>(table + 4 * m), 0);
    put32(p + kCount, static_cast<int32_t>(m));
    put32(p + kPayload, storedOffset(table));
    for (int64_t j = 0; j < m; ++j)
        putFloat(table + 4 * j, distances[static_cast<size_t>(j)]);
    return p;
}

int64_t OptBuilder::addTexHeader(std::string_view name, const std::vector<int64_t>& children) {
    const int64_t p = addJump(20, children);
    const int64_t at = size();
    bytes_.resize(static_cast<size_t>(at + kTextureNameSize), 0);
    const size_t kept = std::min(name.size(), static_cast<size_t>(kTextureNameSize));
    std::copy_n(name.begin(), kept, bytes_.begin() + at);
    put32(p + kName, storedOffset(at));
    return p;
}

int64_t OptBuilder::textureNamePosition(int64_t texHeaderBlock) const {
    checkRange(bytes_, texHeaderBlock + kName);
    const auto stored = static_cast<int32_t>(load32(bytes_.data() + texHeaderBlock + kName));
    return static_cast<int64_t>(stored) - globalOffset_;
}

int64_t OptBuilder::addTexHeaderPointer(int64_t namePosition) {
    const int64_t p = beginBlock(0);
    put32(p + kType, 7);
    put32(p + kPayload, storedOffset(namePosition));
    return p;
}

int64_t OptBuilder::beginDataBlock(int32_t type, int32_t count, int64_t payloadBytes) {
    const int64_t p = beginBlock(payloadBytes);
    put32(p + kType, type);
    put32(p + kCount, count);
    put32(p + kPayload, storedOffset(p + kBlockHeaderSize));
    return p;
}

int64_t OptBuilder::addVertices(const std::vector<V3>& v) {
    const auto n = static_cast<int64_t>(v.size());
    const int64_t p = beginDataBlock(3, static_cast<int32_t>(n), 12 * n);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    for (const V3& x : v)
        out.v3(x);
    return p;
}

int64_t OptBuilder::addVertexNormals(const std::vector<V3>& n) {
    const auto count = static_cast<int64_t>(n.size());
    const int64_t p = beginDataBlock(11, static_cast<int32_t>(count), 12 * count);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    for (const V3& x : n)
        out.v3(x);
    return p;
}

int64_t OptBuilder::addTextureVertices(const std::vector<std::pair<float, float>>& uv) {
    const auto n = static_cast<int64_t>(uv.size());
    const int64_t p = beginDataBlock(13, static_cast<int32_t>(n), 8 * n);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    for (const auto& [u, v] : uv) {
        out.f32(u);
        out.f32(v);
    }
    return p;
}

int64_t OptBuilder::addFaces(const std::vector<FaceSpec>& faces) {
    const auto n = static_cast<int64_t>(faces.size());
    const int64_t p = beginDataBlock(1, static_cast<int32_t>(n), 4 + kFaceRecordSize * n);
    // The payload starts with 4 bytes nobody reads; the three arrays follow.
    Cursor out(bytes_.data() + p + kBlockHeaderSize + 4);
    for (const FaceSpec& f : faces) {
        for (int32_t i : f.vertex)
            out.i32(i);
        for (int32_t i : f.edge)
            out.i32(i);
        for (int32_t i : f.textureVertex)
            out.i32(i);
        for (int32_t i : f.vertexNormal)
            out.i32(i);
    }
    for (const FaceSpec& f : faces)
        out.v3(f.normal);
    for (const FaceSpec& f : faces) {
        out.v3(f.soft1);
        out.v3(f.soft2);
    }
    return p;
}

int64_t OptBuilder::addHardpoint(int32_t type, V3 position) {
    const int64_t p = beginDataBlock(22, 1, 16);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    out.i32(type);
    out.v3(position);
    return p;
}

int64_t OptBuilder::addMeshDescriptor(const MeshDescriptorSpec& d) {
    const int64_t p = beginDataBlock(25, 1, 72);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    out.i32(d.meshType);
    out.i32(d.unknown);
    out.v3(d.span);
    out.v3(d.centre);
    out.v3(d.minima);
    out.v3(d.maxima);
    out.i32(d.targetGroup);
    out.v3(d.targetCentre);
    return p;
}

int64_t OptBuilder::addDataBlock(int32_t type, int32_t count, const std::vector<uint8_t>& payload) {
    const int64_t p = beginDataBlock(type, count, static_cast<int64_t>(payload.size()));
    std::copy(payload.begin(), payload.end(), bytes_.begin() + p + kBlockHeaderSize);
    return p;
}

int64_t OptBuilder::appendRaw(const std::vector<uint8_t>& bytes) {
    const int64_t at = size();
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return at;
}

int64_t OptBuilder::setMeshes(const std::vector<int64_t>& meshRoots) {
    const auto n = static_cast<int64_t>(meshRoots.size());
    const int64_t at = size();
    storedOffset(at + 4 * n);
    bytes_.resize(static_cast<size_t>(at + 4 * n), 0);
    meshTable_ = at;
    meshCount_ = static_cast<int32_t>(n);
    for (int64_t i = 0; i < n; ++i)
        put32(at + 4 * i, slotValue(meshRoots[static_cast<size_t>(i)]));
    return at;
}

void OptBuilder::setMesh(int index, int64_t meshRoot) {
    if (index < 0 || index >= meshCount_) {
        throw std::out_of_range("OptBuilder::setMesh: no such mesh table entry");
    }
    put32(meshTable_ + 4 * static_cast<int64_t>(index), slotValue(meshRoot));
}

void OptBuilder::setSlot(int64_t jumpBlock, int slot, int64_t child) {
    checkRange(bytes_, jumpBlock + kSlotTable);
    const auto count = static_cast<int32_t>(load32(bytes_.data() + jumpBlock + kSlotCount));
    if (slot < 0 || slot >= count) {
        throw std::out_of_range("OptBuilder::setSlot: no such slot");
    }
    const auto table = static_cast<int32_t>(load32(bytes_.data() + jumpBlock + kSlotTable));
    put32(static_cast<int64_t>(table) - globalOffset_ + 4 * static_cast<int64_t>(slot),
          slotValue(child));
}

std::vector<uint8_t> OptBuilder::build() const {
    std::vector<uint8_t> file = bytes_;
    const int64_t total = static_cast<int64_t>(file.size());
    // Bytes 0-3 are never read; 12-13 stay zero.
    patchInt32(file, 4, static_cast<int32_t>(static_cast<uint32_t>(total - 8)));
    patchInt32(file, 8, static_cast<int32_t>(static_cast<uint32_t>(globalOffset_) + 8u));
    file[12] = 0;
    file[13] = 0;
    patchInt32(file, 14, meshCount_);
    patchInt32(file, 18, meshCount_ > 0 ? storedOffset(meshTable_) : 0);
    return file;
}

void OptBuilder::patchInt32(std::vector<uint8_t>& file, int64_t position, int32_t value) {
    checkRange(file, position);
    store32(file.data() + position, static_cast<uint32_t>(value));
}

void OptBuilder::patchFloat(std::vector<uint8_t>& file, int64_t position, float value) {
    patchInt32(file, position, std::bit_cast<int32_t>(value));
}

int32_t OptBuilder::readInt32(const std::vector<uint8_t>& file, int64_t position) {
    checkRange(file, position);
    return static_cast<int32_t>(load32(file.data() + position));
}

float OptBuilder::readFloat(const std::vector<uint8_t>& file, int64_t position) {
    return std::bit_cast<float>(readInt32(file, position));
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot create " + path);
    const size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    const bool closed = std::fclose(f) == 0;
    if (written != bytes.size() || !closed) throw std::runtime_error("cannot write " + path);
}

}  // namespace vexlor::testing
