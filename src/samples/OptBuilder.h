// OptBuilder: writes OPT files block by block, for tests, benchmarks and the sample files.
//
// Blocks are appended one after another behind the 22-byte file header. Every add* call
// returns the block's file position; children and payloads are referred to by file position
// and turned into stored offsets (file position + global offset) when they are written.
// Slots can be filled later with SetSlot() and SetMesh(), so a tree can be laid out parent
// first or made to point back at its own ancestors.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexlor::testing {

struct V3 {
    float X = 0, Y = 0, Z = 0;
};

struct FaceInput {
    std::array<int32_t, 4> Vertex{0, 0, 0, -1};  // -1 in the fourth place = triangle
    std::array<int32_t, 4> Edge{0, 0, 0, 0};
    std::array<int32_t, 4> TextureVertex{0, 0, 0, 0};
    std::array<int32_t, 4> VertexNormal{-1, -1, -1, -1};
    V3 Normal, Soft1, Soft2;
};

struct MeshDescriptorInput {
    int32_t MeshType = 0;
    int32_t Unknown = 0;
    V3 Span, Centre, Minima, Maxima;
    int32_t TargetGroup = 0;
    V3 TargetCentre;
};

// Sizes of the fixed parts of the format.
inline constexpr int64_t kFileHeaderSize = 22;
inline constexpr int64_t kBlockHeaderSize = 24;
inline constexpr int64_t kFaceRecordSize = 100;  // 16 indices, normal, two soft vectors
inline constexpr int64_t kTextureNameSize = 9;

class OptBuilder {
  public:
    explicit OptBuilder(int32_t globalOffset = 0);

    // Jump block of any type code; the slot table follows the header. 0 = empty slot.
    int64_t AddJump(int32_t type, const std::vector<int64_t>& children);
    // Type 21: slot table, then the table of lo-res distances (p+16 count, p+20 offset).
    int64_t AddLod(const std::vector<int64_t>& children, const std::vector<float>& distances);
    // Type 20: slot table, then the 9-byte name that p+0 points at.
    int64_t AddTexHeader(std::string_view name, const std::vector<int64_t>& children = {});
    int64_t TextureNamePosition(int64_t texHeaderBlock) const;
    // Type 7: p+20 points at a 9-byte name elsewhere in the file.
    int64_t AddTexHeaderPointer(int64_t namePosition);
    int64_t AddVertices(const std::vector<V3>& v);                               // type 3
    int64_t AddVertexNormals(const std::vector<V3>& n);                          // type 11
    int64_t AddTextureVertices(const std::vector<std::pair<float, float>>& uv);  // type 13
    int64_t AddFaces(const std::vector<FaceInput>& faces);                       // type 1
    int64_t AddHardpoint(int32_t type, V3 position);                             // type 22
    int64_t AddMeshDescriptor(const MeshDescriptorInput& d);                     // type 25
    // Any type: p+16 = count, p+20 = offset of the payload, which follows the header.
    int64_t AddDataBlock(int32_t type, int32_t count, const std::vector<uint8_t>& payload);
    int64_t AppendRaw(const std::vector<uint8_t>& bytes);

    // Appends the mesh jump table and makes the header point at it.
    int64_t SetMeshes(const std::vector<int64_t>& meshRoots);
    // Rewrites entry `index` of the mesh jump table set by setMeshes (0 = empty entry).
    void SetMesh(int index, int64_t meshRoot);
    // Rewrites slot `slot` (from 0) of the jump block at `jumpBlock` (0 = empty slot).
    void SetSlot(int64_t jumpBlock, int slot, int64_t child);

    int32_t StoredOffset(int64_t filePosition) const;
    int32_t GlobalOffset() const { return globalOffset_; }
    int64_t Size() const { return static_cast<int64_t>(bytes_.size()); }
    int64_t MeshTablePosition() const { return meshTable_; }

    // The whole file with its header filled in.
    std::vector<uint8_t> Build() const;

    static void PatchInt32(std::vector<uint8_t>& file, int64_t position, int32_t value);
    static void PatchFloat(std::vector<uint8_t>& file, int64_t position, float value);
    static int32_t ReadInt32(const std::vector<uint8_t>& file, int64_t position);
    static float ReadFloat(const std::vector<uint8_t>& file, int64_t position);

  private:
    // Appends a block header and returns its position; `extra` zero bytes follow it.
    int64_t BeginBlock(int64_t extra);
    // A data block whose payload of `payloadBytes` zero bytes follows the header.
    int64_t BeginDataBlock(int32_t type, int32_t count, int64_t payloadBytes);
    void Put32(int64_t position, int32_t value);
    void PutFloat(int64_t position, float value);
    // Slot value for a child position: 0 stays 0, anything else becomes a stored offset.
    int32_t SlotValue(int64_t child) const;

    int32_t globalOffset_;
    std::vector<uint8_t> bytes_;
    int64_t meshTable_ = 0;
    int32_t meshCount_ = 0;
};

// Writes the bytes to a file; throws std::runtime_error when that fails.
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace vexlor::testing
