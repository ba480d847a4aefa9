// The OPT walker and block readers. One OptWalker reads one open file: it walks it from its header
// through the tree of jump blocks to every data block (RMain), or one mesh of it (WalkMesh), or
// reports one block (ShowBlock). Its report lines go to the ReportSink it is given; what else a
// walk produces is chosen by its WalkOptions: the tree and the draw tables of an OptModel, PRJ
// records. The readers fill the mesh tables they are given.
//
// Well-formed files are walked and reported line for line in the report's fixed format. Beyond that
// the walker is defensive: counts are cut to what the file holds, slots that lead back to a block
// on the current path are not followed, the walk runs on an explicit stack, and a work budget
// proportional to the file size stops files whose slots share blocks explosively. Every such
// event is a report line starting with "!!"; a walk that records problems (the open) keeps those
// lines in the model even when it writes no report.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "BlockRecords.h"
#include "BlockTypes.h"
#include "MeshTables.h"
#include "OptModel.h"
#include "OptStream.h"
#include "ReportSink.h"
#include "TypeNames.h"
#include "WalkObserver.h"
#include "WalkOptions.h"

namespace vexlor {

class OptWalker {
  public:
    // `model` receives the tree, the draw tables and the header's mesh table when the options
    // ask for them (it may be null otherwise). Walks that start below the header (WalkMesh,
    // ShowBlock) take the global offset from SetGlobalOffset.
    OptWalker(const OptStream& stream, MeshTables& tables, const TypeNameTables& names,
              ReportSink& sink, const WalkOptions& options = {}, OptModel* model = nullptr);

    // The whole file from its header.
    void RMain();
    // One mesh: its number, then the walk of its root jump block at `position`.
    void WalkMesh(int32_t mesh, int64_t position);
    // One jump block and everything below it; children's tree nodes go under `parentNode`.
    void WalkJumpBlock(int64_t position, int32_t parentNode);

    // The report of one block by its type, as the block display shows it (no face detail pass);
    // what the view shows for it.
    ShownBlock ShowBlock(const BlockEntry& entry);

    void SetGlobalOffset(int64_t globalOffset) { globalOffset_ = globalOffset; }
    int64_t AdjustOffset(int64_t stored) const { return stored - globalOffset_; }
    // Whether a walk was stopped by the work budget.
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

    // The walk.
    void ReadMeshTable(int32_t& declared, int64_t& position, std::vector<int64_t>& meshes);
    // Reads a jump block's header and, if it has children, pushes its frame.
    void EnterJumpBlock(int64_t position, int32_t parentNode);
    void VisitSlot(size_t frameIndex);
    // The end of a slot: a texture header's data part, then the level-of-detail count.
    void FinishSlot(size_t frameIndex, int32_t childType, int64_t childPosition);
    void WalkDataBlock(int32_t parentNode, int32_t type, int64_t q);
    int32_t AddNode(int32_t parent, std::string label, int64_t offset, int32_t type);

    // The readers.
    void ListJumpBlock(int64_t p);
    void ListSlots(int64_t p, int32_t count);
    void ReadVertexBlock(int64_t p);
    void ReadVertexNormalBlock(int64_t p);
    void ReadTextureVertexBlock(int64_t p);
    // Returns the number of faces read (the count cut to what the file holds).
    int64_t ReadFaceBlock(int64_t p);
    void ReadFaceDetails(int64_t p);
    MeshDescriptorRecord ReadMeshDescriptorBlock(int64_t p);
    HardpointRecord ReadHardpointBlock(int64_t p);
    std::string ReadTexHeaderBlock(int64_t p);
    std::string ReadTexHeaderPointerBlock(int64_t p);
    void ListLodBlock(int64_t p);
    // The lo-res distances of a type-21 block that lie in the file, for an observer; no lines.
    std::vector<float> ReadLodDistances(int64_t p);
    WalkPlace Place() const { return {currentMesh_, curLod_}; }

    // A table of vectors (vertices, vertex normals) read from index 0, one report line each:
    // `before`, the index, `after`, the three numbers. Returns how many were read.
    struct Vec3Lines {
        std::string_view before;
        std::string_view after;
    };
    int64_t ReadVec3Table(int64_t payload, int64_t count, std::string_view what,
                          const Vec3Lines& lines, std::vector<Vec3>& table);
    void WritePrjRecord(const std::array<Vec3, 4>& corners);
    void AppendDrawFace(const FaceRecord& face, const FaceOrigin& origin,
                        const std::array<Vec3, 4>& corners, bool quad);

    // Elements of `elementSize` bytes from `position` that lie in the file, at most `count`;
    // reports a cut.
    int64_t ElementsInFile(int64_t position, int64_t count, int64_t elementSize,
                           std::string_view what);
    void ReportCut(std::string_view what, int64_t position, int64_t held, int64_t count);
    int64_t FacesInFile(int64_t payload, int64_t count) const;
    // Spends walk work; false (and one report line) once the budget is used up.
    bool Spend(int64_t work);
    void ResetBudget();
    void ReportShortFile(int32_t fileSize);
    void ReportShortHeader(int64_t p);
    void ReportShortPayload(std::string_view what, int64_t position, int64_t size);

    void ReadTextureName(int64_t position, std::string& name);
    // `indexPosition`: the file position of the first of the four indices.
    void AppendVertexLines(const std::array<int32_t, 4>& indices, const std::vector<Vec3>& table,
                           std::string_view tableName, int64_t indexPosition);
    void EmitDescriptorVector(std::string_view label, const Vec3& v);

    // Line building.
    std::string& Line() {
        line_.clear();
        return line_;
    }
    void Emit() { sink_.ReportLine(line_); }
    void Emit(std::string_view text) { sink_.ReportLine(text); }
    // Whether a "!!" line goes anywhere: to the report, or to the recorded problems.
    bool Noting() const { return sink_.Active() || problems_ != nullptr; }
    // Emits the line built as a problem found in the block at `block`, about file position
    // `offset`, and records it when the walk records problems.
    void EmitProblem(ProblemKind kind, int64_t block, int64_t offset);
    void AppendInt(int64_t n) { NumberText::AppendInt(line_, n); }
    void AppendFloat(float x) { sink_.Numbers().AppendFloat(line_, x); }
    void AppendFloats(const Vec3& v);
    void AppendIndices(const std::array<int32_t, 4>& v);

    const OptStream& stream_;
    MeshTables& tables_;
    const TypeNameTables& names_;
    ReportSink& sink_;
    WalkOptions options_;
    OptModel* model_;
    WalkObserver* observer_;
    WalkProblems* problems_ = nullptr;

    // Walk state.
    int64_t globalOffset_ = 0;
    int32_t currentMesh_ = 0;
    // The block being read, which the problems found are charged to.
    int64_t currentBlock_ = kRootBlockOffset;
    int64_t curLod_ = 1;
    int64_t prjRecords_ = 0;
    std::vector<Frame> stack_;
    std::unordered_set<int64_t> onPath_;
    int64_t budget_ = -1;  // set on first use from the file size
    bool stopped_ = false;
    std::string line_;
};

}  // namespace vexlor
