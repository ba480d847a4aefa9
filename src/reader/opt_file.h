// The OPT walker and block readers. One OptFile ties together the open stream, the model store,
// the report sink and (for Save PRJ) the PRJ output, and runs walks and block reports over them.
//
// Well-formed files are walked and reported line for line in the report's fixed format. Beyond that
// the walker is defensive: counts are cut to what the file holds, slots that lead back to a block
// on the current path are not followed, the walk runs on an explicit stack, and a work budget
// proportional to the file size stops files whose slots share blocks explosively. Every such
// event is a report line starting with "!!".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "ModelStore.h"
#include "OptStream.h"
#include "Vexlor_Utils.h"

namespace vexlor {

class ByteOutput;

// Block type codes.
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

class OptFile {
  public:
    OptFile(OptStream& stream, ModelStore& store, ReportSink& sink, ByteOutput* prj = nullptr)
        : stream_(stream), store_(store), sink_(sink), prj_(prj) {}

    // The whole file from its header, with the switches as the caller set them.
    void RMain();
    // One jump block and everything below it; children's tree nodes go under `parentNode`.
    void WalkJumpBlock(int64_t position, int32_t parentNode);
    // The pointer listing of one jump block (block display).
    void ListJumpBlock(int64_t position);

    void ReadVertexBlock(int64_t p);
    void ReadVertexNormalBlock(int64_t p);
    void ReadTextureVertexBlock(int64_t p);
    // Returns the number of faces read (the count cut to what the file holds).
    int64_t ReadFaceBlock(int64_t p);
    void ReadFaceDetails(int64_t p);
    void ReadMeshDescriptorBlock(int64_t p);
    void ReadHardpointBlock(int64_t p);
    void ReadTexHeaderBlock(int64_t p);
    void ReadTexHeaderPointerBlock(int64_t p);
    void ListLodBlock(int64_t p);

    // The report of one block by its type, as the block display shows it (no face detail pass).
    void ShowBlock(const BlockEntry& entry);

    int64_t AdjustOffset(int64_t stored) const { return stored - store_.GlobalOffset; }

    // Whether the last walk was stopped by the work budget.
    bool Stopped() const { return stopped_; }

  private:
    struct Frame {
        int64_t position;
        int32_t ownType;
        int64_t slotCount;
        int64_t tablePosition;
        int64_t nextSlot;
        int32_t node;
        // A jump child being walked: what the slot still has to do when it returns.
        bool childPending;
        int32_t childType;
        int64_t childPosition;
    };

    // Reads a jump block's header and, if it has children, pushes its frame.
    void EnterJumpBlock(int64_t position, int32_t parentNode);
    void VisitSlot(size_t frameIndex);
    // The end of a slot: a texture header's data part, then the level-of-detail count.
    void FinishSlot(size_t frameIndex, int32_t childType, int64_t childPosition);
    void WalkDataBlock(int32_t parentNode, int32_t type, int64_t q);
    void ListSlots(int64_t p, int32_t count);

    // Elements of `elementSize` bytes from `position` that lie in the file, at most `count`;
    // reports a cut.
    int64_t ElementsInFile(int64_t position, int64_t count, int64_t elementSize,
                           std::string_view what);
    int64_t FacesInFile(int64_t payload, int64_t count) const;
    // Spends walk work; false (and one report line) once the budget is used up.
    bool Spend(int64_t work);
    void ResetBudget();
    void ReportShortFile();

    void ReadTextureName(int64_t position, std::string& name);
    const std::string& TypeName(const std::vector<std::string>& names, int32_t code) const;
    void AppendVertexLines(const std::array<int32_t, 4>& indices, const std::vector<Vec3>& table,
                           std::string_view tableName);
    Vec3 CornerPosition(int32_t index) const;
    Vec3 ReadVec3();
    void ReportShortPayload(std::string_view what, int64_t position, int64_t size);
    // A data block whose header the end of the file cuts off: its count and payload offset are
    // read only as far as they lie in the file.
    void ReportShortHeader(int64_t p);
    void EmitDescriptorVector(std::string_view label, const Vec3& v);

    // Line building.
    std::string& Line() {
        line_.clear();
        return line_;
    }
    void Emit() { sink_.ReportLine(line_); }
    void Emit(std::string_view text) { sink_.ReportLine(text); }
    void AppendInt(int64_t n) { NumberText::AppendInt(line_, n); }
    void AppendFloat(float x) { sink_.Numbers().AppendFloat(line_, x); }
    void AppendFloats(const Vec3& v);
    void AppendIndices(const std::array<int32_t, 4>& v);

    OptStream& stream_;
    ModelStore& store_;
    ReportSink& sink_;
    ByteOutput* prj_;

    std::vector<Frame> stack_;
    std::unordered_set<int64_t> onPath_;
    int64_t budget_ = -1;  // set on first use from the file size
    bool stopped_ = false;
    std::string line_;
};

}  // namespace vexlor
