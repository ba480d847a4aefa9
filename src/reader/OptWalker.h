// The OPT walker and block readers. One OptWalker reads one open file: it walks it from its header
// through the tree of jump blocks to every data block (Walk), or one mesh of it (WalkMesh), or
// reads one block (ShowBlock). It reads into typed records, as the format's table lays them out,
// and tells its observers (WalkOptions) each one in walk order; the report, the draw tables, the
// problems and the PRJ file are observers. It builds the structure tree of the model it is given
// when its options ask for it, and fills the mesh tables it is given.
//
// Well-formed files are walked exactly as the report's fixed format follows them. Beyond that the
// walker is defensive: counts are cut to what the file holds, slots that lead back to a block on
// the current path are not followed, the walk runs on an explicit stack, and a work budget
// proportional to the file size stops files whose slots share blocks explosively. Every such
// event is a problem ("!!" line) told to the observers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "reader/BlockRecords.h"
#include "reader/BlockTypes.h"
#include "reader/MeshTables.h"
#include "reader/OptModel.h"
#include "reader/OptStream.h"
#include "reader/WalkObserver.h"
#include "reader/WalkOptions.h"

namespace vexlor {

class OptWalker {
  public:
    // `model` receives the tree and the header's mesh table when the options ask for the tree
    // (it may be null otherwise). Walks that start below the header (WalkMesh, ShowBlock) take
    // the global offset from SetGlobalOffset.
    OptWalker(const OptStream& stream, MeshTables& tables, const WalkOptions& options = {},
              OptModel* model = nullptr);

    // The whole file from its header.
    void Walk();
    // One mesh: its number, then the walk of its root jump block at `position`.
    void WalkMesh(int32_t mesh, int64_t position);
    // One jump block and everything below it; children's tree nodes go under `parentNode`.
    void WalkJumpBlock(int64_t position, int32_t parentNode);

    // One block by its type, as the block display shows it: a jump block's and a type-21 block's
    // slots, a data block's records (faces numbered from the block's start); what the view shows
    // for it.
    ShownBlock ShowBlock(const BlockEntry& entry);

    void SetGlobalOffset(int64_t globalOffset) { globalOffset_ = globalOffset; }
    int64_t AdjustOffset(int64_t stored) const { return stored - globalOffset_; }
    // Whether a walk was stopped by the work budget, and why ("the file leads to more than ...").
    bool Stopped() const { return stopped_; }
    const std::string& StopReason() const { return stopReason_; }

  private:
    struct Frame {
        int64_t Position;
        int32_t OwnType;
        int64_t SlotCount;
        int64_t TablePosition;
        int64_t NextSlot;
        int32_t Node;
        // A jump child being walked: what the slot still has to do when it returns.
        bool ChildPending;
        int32_t ChildType;
        int64_t ChildPosition;
    };

    // Tells every observer.
    template <typename Event>
    void Tell(Event event) {
        for (WalkObserver* observer : observers_)
            event(*observer);
    }

    // The walk.
    void ReadMeshTable(const FileHeaderRecord& header, std::vector<int64_t>& meshes);
    // Reads a jump block's header and, if it has children, pushes its frame.
    void EnterJumpBlock(int64_t position, int32_t parentNode);
    void VisitSlot(size_t frameIndex);
    // The end of a slot: a texture header's data part, then the level-of-detail count.
    void FinishSlot(size_t frameIndex, int32_t childType, int64_t childPosition);
    void WalkDataBlock(int32_t parentNode, int32_t type, int64_t q);
    // Reads a data block of a type with a reader; what the view shows for a hardpoint or mesh
    // descriptor.
    ShownBlock ReadDataBlock(int32_t type, int64_t q);
    int32_t AddNode(int32_t parent, std::string label, int64_t offset, int32_t type);

    // The readers.
    BlockHeader ReadHeader(int64_t p) const;
    void ListJumpBlock(int64_t p);
    void ListSlots(const BlockHeader& header);
    void ReadVertexBlock(int64_t p);
    void ReadVertexNormalBlock(int64_t p);
    void ReadTextureVertexBlock(int64_t p);
    void ReadFaceBlock(int64_t p);
    MeshDescriptorRecord ReadMeshDescriptorBlock(int64_t p);
    HardpointRecord ReadHardpointBlock(int64_t p);
    void ReadTexHeaderBlock(int64_t p);
    void ReadTexHeaderPointerBlock(int64_t p);
    void ListLodBlock(int64_t p);
    // The lo-res distances of a type-21 block that lie in the file.
    std::vector<float> ReadLodDistances(int64_t p);
    WalkPlace Place() const { return {currentMesh_, currentLod_}; }
    // A table of vectors (vertices, vertex normals) read from index 0; how many were read.
    int64_t ReadVec3Table(int64_t payload, int64_t count, std::string_view what,
                          std::vector<Vec3>& table);
    std::string ReadTextureName(int64_t position);

    // Elements of `elementSize` bytes from `position` that lie in the file, at most `count`;
    // tells of a cut or a negative count.
    int64_t ElementsInFile(int64_t position, int64_t count, int64_t elementSize,
                           std::string_view what);
    void ReportCut(std::string_view what, int64_t position, int64_t held, int64_t count);
    // Of `count` records of one block, at most the budget's MostRecordsPerBlock; a problem says
    // when there are more.
    int64_t RecordsRead(int64_t count, std::string_view what, int64_t position);
    int64_t FacesInFile(int64_t payload, int64_t count) const;
    // Spends walk work; false (and one problem) once the budget is used up.
    bool Spend(int64_t work);
    // Of `count` records of `size` bytes, how many the budget still allows, their work spent: all
    // of them, or fewer and the walk stopped. Asked before a table is sized from a count.
    int64_t Afford(int64_t count, int64_t size);
    // Counts one more block visited; false (and the walk stopped) past the budget's MostBlocks.
    bool CountBlock();
    // Of `count` slots or levels listed, each a lead to a block, at most the budget's MostBlocks;
    // past them the walk stops.
    int64_t ListedLeads(int64_t count);
    void StopAtMostBlocks();
    void ResetBudget();
    // Stops the walk; the problem's line is "!! walk stopped: " `why` `detail`.
    void StopWalk(std::string why, std::string_view detail = {});
    void ReportShortFile(int64_t fileSize);
    void ReportShortHeader(int64_t p);
    void ReportShortPayload(std::string_view what, int64_t position, int64_t size);

    // Problems: the line is built in line_ and told as found in the block at `block`, about file
    // position `offset`. Nothing is built when no observer wants problems.
    std::string& Line() {
        line_.clear();
        return line_;
    }
    void TellProblem(ProblemKind kind, int64_t block, int64_t offset);
    // Starts the line of a problem about `what` at file position `position`: "   !! WHAT at
    // offset P: ".
    std::string& StartPlacedLine(std::string_view what, int64_t position);
    void AppendInt(int64_t n);

    const OptStream& stream_;
    MeshTables& tables_;
    WalkOptions options_;
    OptModel* model_;
    std::vector<WalkObserver*> observers_;
    bool noting_ = false;  // whether an observer wants problems

    // Walk state.
    int64_t globalOffset_ = 0;
    int32_t currentMesh_ = 0;
    // The block being read, which the problems found are charged to.
    int64_t currentBlock_ = kRootBlockOffset;
    int64_t currentLod_ = 1;
    std::vector<Frame> stack_;
    std::unordered_set<int64_t> onPath_;
    int64_t budget_ = 0;  // set on first use from the file size
    bool budgetSet_ = false;
    // Whether the budget is the walk's MostWork rather than its share of the file size.
    bool budgetIsMostWork_ = false;
    int64_t blocksLeft_ = 0;
    bool stopped_ = false;
    std::string stopReason_;
    std::string line_;
};

}  // namespace vexlor
