// OptBuilder: appends OPT blocks to a byte buffer and fills in the file header on Build().
// All numbers are written byte by byte in little-endian order, whatever the host.
#include "samples/OptBuilder.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace vexlor::testing {

namespace {

void Store32(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value >> 16);
    out[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t Load32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
           (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

void CheckRange(const std::vector<uint8_t>& file, int64_t position) {
    if (position < 0 || position + 4 > static_cast<int64_t>(file.size())) {
        throw std::out_of_range("OptBuilder: 4-byte access outside the buffer");
    }
}

// Writes a run of 32-bit values into a region that has already been sized.
class Cursor {
  public:
    explicit Cursor(uint8_t* at) : at_(at) {}
    void i32(int32_t v) {
        Store32(at_, static_cast<uint32_t>(v));
        at_ += 4;
    }
    void f32(float v) {
        Store32(at_, std::bit_cast<uint32_t>(v));
        at_ += 4;
    }
    void v3(const V3& v) {
        f32(v.X);
        f32(v.Y);
        f32(v.Z);
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

int32_t OptBuilder::StoredOffset(int64_t filePosition) const {
    const int64_t stored = filePosition + globalOffset_;
    if (stored < std::numeric_limits<int32_t>::min() ||
        stored > std::numeric_limits<int32_t>::max()) {
        throw std::overflow_error("OptBuilder: stored offset does not fit in 32 bits");
    }
    return static_cast<int32_t>(stored);
}

int32_t OptBuilder::SlotValue(int64_t child) const {
    return child == 0 ? 0 : StoredOffset(child);
}

void OptBuilder::Put32(int64_t position, int32_t value) {
    CheckRange(bytes_, position);
    Store32(bytes_.data() + position, static_cast<uint32_t>(value));
}

void OptBuilder::PutFloat(int64_t position, float value) {
    Put32(position, std::bit_cast<int32_t>(value));
}

int64_t OptBuilder::BeginBlock(int64_t extra) {
    const int64_t p = Size();
    // Fail before growing when the block's end could not be addressed by a stored offset.
    StoredOffset(p + kBlockHeaderSize + extra);
    bytes_.resize(static_cast<size_t>(p + kBlockHeaderSize + extra), 0);
    return p;
}

int64_t OptBuilder::AddJump(int32_t type, const std::vector<int64_t>& children) {
    const auto n = static_cast<int64_t>(children.size());
    const int64_t p = BeginBlock(4 * n);
    Put32(p + kType, type);
    Put32(p + kSlotCount, static_cast<int32_t>(n));
    Put32(p + kSlotTable, n > 0 ? StoredOffset(p + kBlockHeaderSize) : 0);
    for (int64_t i = 0; i < n; ++i) {
        Put32(p + kBlockHeaderSize + 4 * i, SlotValue(children[static_cast<size_t>(i)]));
    }
    return p;
}

int64_t OptBuilder::AddLod(const std::vector<int64_t>& children,
                           const std::vector<float>& distances) {
    const auto m = static_cast<int64_t>(distances.size());
    const int64_t p = AddJump(21, children);
    const int64_t table = Size();
    bytes_.resize(static_cast<size_t>(table + 4 * m), 0);
    Put32(p + kCount, static_cast<int32_t>(m));
    Put32(p + kPayload, StoredOffset(table));
    for (int64_t j = 0; j < m; ++j)
        PutFloat(table + 4 * j, distances[static_cast<size_t>(j)]);
    return p;
}

int64_t OptBuilder::AddTexHeader(std::string_view name, const std::vector<int64_t>& children) {
    const int64_t p = AddJump(20, children);
    const int64_t at = Size();
    bytes_.resize(static_cast<size_t>(at + kTextureNameSize), 0);
    const size_t kept = std::min(name.size(), static_cast<size_t>(kTextureNameSize));
    std::copy_n(name.begin(), kept, bytes_.begin() + at);
    Put32(p + kName, StoredOffset(at));
    return p;
}

int64_t OptBuilder::TextureNamePosition(int64_t texHeaderBlock) const {
    CheckRange(bytes_, texHeaderBlock + kName);
    const auto stored = static_cast<int32_t>(Load32(bytes_.data() + texHeaderBlock + kName));
    return static_cast<int64_t>(stored) - globalOffset_;
}

int64_t OptBuilder::AddTexHeaderPointer(int64_t namePosition) {
    const int64_t p = BeginBlock(0);
    Put32(p + kType, 7);
    Put32(p + kPayload, StoredOffset(namePosition));
    return p;
}

int64_t OptBuilder::BeginDataBlock(int32_t type, int32_t count, int64_t payloadBytes) {
    const int64_t p = BeginBlock(payloadBytes);
    Put32(p + kType, type);
    Put32(p + kCount, count);
    Put32(p + kPayload, StoredOffset(p + kBlockHeaderSize));
    return p;
}

int64_t OptBuilder::AddVertices(const std::vector<V3>& v) {
    const auto n = static_cast<int64_t>(v.size());
    const int64_t p = BeginDataBlock(3, static_cast<int32_t>(n), 12 * n);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    for (const V3& x : v)
        out.v3(x);
    return p;
}

int64_t OptBuilder::AddVertexNormals(const std::vector<V3>& n) {
    const auto count = static_cast<int64_t>(n.size());
    const int64_t p = BeginDataBlock(11, static_cast<int32_t>(count), 12 * count);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    for (const V3& x : n)
        out.v3(x);
    return p;
}

int64_t OptBuilder::AddTextureVertices(const std::vector<std::pair<float, float>>& uv) {
    const auto n = static_cast<int64_t>(uv.size());
    const int64_t p = BeginDataBlock(13, static_cast<int32_t>(n), 8 * n);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    for (const auto& [u, v] : uv) {
        out.f32(u);
        out.f32(v);
    }
    return p;
}

int64_t OptBuilder::AddFaces(const std::vector<FaceInput>& faces) {
    const auto n = static_cast<int64_t>(faces.size());
    const int64_t p = BeginDataBlock(1, static_cast<int32_t>(n), 4 + kFaceRecordSize * n);
    // The payload starts with 4 bytes nobody reads; the three arrays follow.
    Cursor out(bytes_.data() + p + kBlockHeaderSize + 4);
    for (const FaceInput& f : faces) {
        for (int32_t i : f.Vertex)
            out.i32(i);
        for (int32_t i : f.Edge)
            out.i32(i);
        for (int32_t i : f.TextureVertex)
            out.i32(i);
        for (int32_t i : f.VertexNormal)
            out.i32(i);
    }
    for (const FaceInput& f : faces)
        out.v3(f.Normal);
    for (const FaceInput& f : faces) {
        out.v3(f.Soft1);
        out.v3(f.Soft2);
    }
    return p;
}

int64_t OptBuilder::AddHardpoint(int32_t type, V3 position) {
    const int64_t p = BeginDataBlock(22, 1, 16);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    out.i32(type);
    out.v3(position);
    return p;
}

int64_t OptBuilder::AddMeshDescriptor(const MeshDescriptorInput& d) {
    const int64_t p = BeginDataBlock(25, 1, 72);
    Cursor out(bytes_.data() + p + kBlockHeaderSize);
    out.i32(d.MeshType);
    out.i32(d.Unknown);
    out.v3(d.Span);
    out.v3(d.Centre);
    out.v3(d.Minima);
    out.v3(d.Maxima);
    out.i32(d.TargetGroup);
    out.v3(d.TargetCentre);
    return p;
}

int64_t OptBuilder::AddDataBlock(int32_t type, int32_t count, const std::vector<uint8_t>& payload) {
    const int64_t p = BeginDataBlock(type, count, static_cast<int64_t>(payload.size()));
    std::copy(payload.begin(), payload.end(), bytes_.begin() + p + kBlockHeaderSize);
    return p;
}

int64_t OptBuilder::AppendRaw(const std::vector<uint8_t>& bytes) {
    const int64_t at = Size();
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return at;
}

int64_t OptBuilder::SetMeshes(const std::vector<int64_t>& meshRoots) {
    const auto n = static_cast<int64_t>(meshRoots.size());
    const int64_t at = Size();
    StoredOffset(at + 4 * n);
    bytes_.resize(static_cast<size_t>(at + 4 * n), 0);
    meshTable_ = at;
    meshCount_ = static_cast<int32_t>(n);
    for (int64_t i = 0; i < n; ++i)
        Put32(at + 4 * i, SlotValue(meshRoots[static_cast<size_t>(i)]));
    return at;
}

void OptBuilder::SetMesh(int index, int64_t meshRoot) {
    if (index < 0 || index >= meshCount_) {
        throw std::out_of_range("OptBuilder::setMesh: no such mesh table entry");
    }
    Put32(meshTable_ + 4 * static_cast<int64_t>(index), SlotValue(meshRoot));
}

void OptBuilder::SetSlot(int64_t jumpBlock, int slot, int64_t child) {
    CheckRange(bytes_, jumpBlock + kSlotTable);
    const auto count = static_cast<int32_t>(Load32(bytes_.data() + jumpBlock + kSlotCount));
    if (slot < 0 || slot >= count) {
        throw std::out_of_range("OptBuilder::setSlot: no such slot");
    }
    const auto table = static_cast<int32_t>(Load32(bytes_.data() + jumpBlock + kSlotTable));
    Put32(static_cast<int64_t>(table) - globalOffset_ + 4 * static_cast<int64_t>(slot),
          SlotValue(child));
}

std::vector<uint8_t> OptBuilder::Build() const {
    std::vector<uint8_t> file = bytes_;
    const int64_t total = static_cast<int64_t>(file.size());
    // Bytes 0-3 are never read; 12-13 stay zero.
    PatchInt32(file, 4, static_cast<int32_t>(static_cast<uint32_t>(total - 8)));
    PatchInt32(file, 8, static_cast<int32_t>(static_cast<uint32_t>(globalOffset_) + 8u));
    file[12] = 0;
    file[13] = 0;
    PatchInt32(file, 14, meshCount_);
    PatchInt32(file, 18, meshCount_ > 0 ? StoredOffset(meshTable_) : 0);
    return file;
}

void OptBuilder::PatchInt32(std::vector<uint8_t>& file, int64_t position, int32_t value) {
    CheckRange(file, position);
    Store32(file.data() + position, static_cast<uint32_t>(value));
}

void OptBuilder::PatchFloat(std::vector<uint8_t>& file, int64_t position, float value) {
    PatchInt32(file, position, std::bit_cast<int32_t>(value));
}

int32_t OptBuilder::ReadInt32(const std::vector<uint8_t>& file, int64_t position) {
    CheckRange(file, position);
    return static_cast<int32_t>(Load32(file.data() + position));
}

float OptBuilder::ReadFloat(const std::vector<uint8_t>& file, int64_t position) {
    return std::bit_cast<float>(ReadInt32(file, position));
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot create " + path);
    const size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    const bool closed = std::fclose(f) == 0;
    if (written != bytes.size() || !closed) throw std::runtime_error("cannot write " + path);
}

}  // namespace vexlor::testing
