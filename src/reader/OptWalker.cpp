// The walk: the file header, the mesh jump table and the depth-first visit of every jump block;
// and the reading of one chosen block.
#include "reader/OptWalker.h"

#include <algorithm>
#include <limits>

#include "reader/FormatTables.h"
#include "reader/HeaderCheck.h"
#include "reader/NumberText.h"

namespace vexlor {

namespace {
constexpr int64_t kSlotSize = format::kSlots.RecordSize;
static_assert(format::kMeshTable.RecordSize == kSlotSize);
// A block whose slot count and slot table do not lie in the file is no block to walk.
constexpr int64_t kJumpFieldsEnd = kSlotTableField + format::kValueSize;
// A child whose type does not lie in the file is no block at all.
constexpr int64_t kTypeFieldEnd = kBlockTypeField + format::kValueSize;
}  // namespace

OptWalker::OptWalker(const OptStream& stream, MeshTables& tables, const WalkOptions& options,
                     OptModel* model)
    : stream_(stream),
      tables_(tables),
      options_(options),
      model_(model),
      observers_(options.Observers) {
    // Only a walk that has a model to fill may be asked to fill one.
    if (model_ == nullptr) options_.BuildTree = false;
    for (const WalkObserver* observer : observers_)
        noting_ = noting_ || observer->WantsProblems();
}

void OptWalker::AppendInt(int64_t n) {
    NumberText::AppendInt(line_, n);
}

void OptWalker::TellProblem(ProblemKind kind, int64_t block, int64_t offset) {
    const WalkProblem problem{kind, block, offset, line_};
    Tell([&](WalkObserver& o) { o.Problem(problem); });
}

void OptWalker::ResetBudget() {
    const WalkBudget& allowed = options_.Budget;
    int64_t perByte = 0;
    int64_t share = 0;
    if (__builtin_mul_overflow(std::max<int64_t>(allowed.PerByte, 0), stream_.Size(), &perByte) ||
        __builtin_add_overflow(perByte, std::max<int64_t>(allowed.Floor, 0), &share))
        share = std::numeric_limits<int64_t>::max();
    const int64_t most = std::max<int64_t>(allowed.MostWork, 0);
    budgetIsMostWork_ = most < share;
    budget_ = std::min(share, most);
    blocksLeft_ = std::max<int64_t>(allowed.MostBlocks, 0);
    budgetSet_ = true;
    stopped_ = false;
    stopReason_.clear();
}

void OptWalker::StopWalk(std::string why, std::string_view detail) {
    stopped_ = true;
    stopReason_ = std::move(why);
    if (!noting_) return;
    Line() += "!! walk stopped: ";
    line_ += stopReason_;
    line_ += detail;
    TellProblem(ProblemKind::WalkStopped, currentBlock_, currentBlock_);
}

bool OptWalker::Spend(int64_t work) {
    if (!budgetSet_) ResetBudget();
    if (stopped_) return false;
    if (work <= budget_) {
        budget_ -= work;
        return true;
    }
    budget_ = 0;
    if (budgetIsMostWork_) {
        std::string why = "the file holds more blocks and records than the ";
        NumberText::AppendInt(why, options_.Budget.MostWork);
        why += " bytes this program reads in one walk";
        StopWalk(std::move(why));
    } else {
        StopWalk("the file's slots lead to far more blocks than the file holds",
                 " (blocks shared by many slots)");
    }
    return false;
}

int64_t OptWalker::Afford(int64_t count, int64_t size) {
    if (count <= 0) return 0;
    if (!budgetSet_) ResetBudget();
    if (stopped_) return 0;
    const int64_t affordable = std::min(count, budget_ / size);
    budget_ -= affordable * size;
    if (affordable < count) Spend(size);
    return affordable;
}

bool OptWalker::CountBlock() {
    if (!budgetSet_) ResetBudget();
    if (stopped_) return false;
    if (blocksLeft_ > 0) {
        --blocksLeft_;
        return true;
    }
    StopAtMostBlocks();
    return false;
}

void OptWalker::StopAtMostBlocks() {
    std::string why = "the file leads to more than the ";
    NumberText::AppendInt(why, options_.Budget.MostBlocks);
    why += " blocks this program reads in one walk";
    StopWalk(std::move(why));
}

int64_t OptWalker::ListedLeads(int64_t count) {
    const int64_t most = std::max<int64_t>(options_.Budget.MostBlocks, 0);
    if (count <= most) return count;
    if (!stopped_) StopAtMostBlocks();
    return most;
}

std::string& OptWalker::StartPlacedLine(std::string_view what, int64_t position) {
    Line() += "   !! ";
    line_ += what;
    line_ += " at offset ";
    AppendInt(position);
    return line_ += ": ";
}

int64_t OptWalker::ElementsInFile(int64_t position, int64_t count, int64_t elementSize,
                                  std::string_view what) {
    if (count == 0) return 0;
    if (count < 0) {
        if (noting_) {
            StartPlacedLine(what, position) += "negative count ";
            AppendInt(count);
            line_ += ", nothing read";
            TellProblem(ProblemKind::NegativeCount, currentBlock_, position);
        }
        return 0;
    }
    const int64_t held = stream_.BytesFrom(position) / elementSize;
    if (count <= held) return count;
    ReportCut(what, position, held, count);
    return held;
}

int64_t OptWalker::RecordsRead(int64_t count, std::string_view what, int64_t position) {
    const int64_t most = std::max<int64_t>(options_.Budget.MostRecordsPerBlock, 0);
    if (count <= most) return count;
    if (noting_) {
        StartPlacedLine(what, position);
        AppendInt(count);
        line_ += " records, more than the ";
        AppendInt(most);
        line_ += " this program reads from one block; the rest are not read";
        TellProblem(ProblemKind::CountCut, currentBlock_, position);
    }
    return most;
}

void OptWalker::ReportCut(std::string_view what, int64_t position, int64_t held, int64_t count) {
    if (!noting_) return;
    StartPlacedLine(what, position) += "the file holds ";
    AppendInt(held);
    line_ += " of ";
    AppendInt(count);
    line_ += ", the rest are not read";
    TellProblem(ProblemKind::CountCut, currentBlock_, position);
}

// A file shorter than its header, or shorter than the size its header gives, has lost its end.
void OptWalker::ReportShortFile(int64_t fileSize) {
    const int64_t length = stream_.Size();
    if (length < kFileHeaderSize) {
        Line() += "!! the file is only ";
        AppendInt(length);
        line_ += " bytes long, shorter than the ";
        AppendInt(kFileHeaderSize);
        line_ += "-byte header";
        TellProblem(ProblemKind::ShortFile, kRootBlockOffset, 0);
    } else if (fileSize > length) {
        Line() += "!! the header gives a file size of ";
        AppendInt(fileSize);
        line_ += " but the file is ";
        AppendInt(length);
        line_ += " bytes long: its end is missing";
        TellProblem(ProblemKind::ShortFile, kRootBlockOffset, kFileSizeField);
    }
}

void OptWalker::ReportShortHeader(int64_t p) {
    if (stream_.BytesFrom(p) >= kBlockHeaderSize || !noting_) return;
    Line() += "   !! block header at offset ";
    AppendInt(p);
    line_ += " runs past the end of the file; what is missing reads as 0";
    TellProblem(ProblemKind::ShortHeader, p, p);
}

void OptWalker::Walk() {
    ResetBudget();
    currentBlock_ = kRootBlockOffset;
    if (options_.BuildTree) {
        model_->Tree.DeleteRootChildren();
        model_->BlockTable.assign(1, BlockEntry{kRootBlockOffset, kTypeJump, 0});
    }

    if (noting_) {
        const std::string notOpt = NotOptReason(stream_);
        if (!notOpt.empty()) {
            Line() += "!! this does not look like an OPT file: ";
            line_ += notOpt;
            TellProblem(ProblemKind::NotOptFile, kRootBlockOffset, 0);
        }
    }
    FileHeaderRecord header;
    header.FileSize = int64_t{stream_.Int32At(kFileSizeField)} + kFileHeaderBias;
    globalOffset_ = int64_t{stream_.Int32At(kGlobalOffsetField)} - kFileHeaderBias;
    header.GlobalOffset = globalOffset_;
    header.MeshCount = stream_.Int32At(kMeshCountField);
    header.MeshTable = AdjustOffset(stream_.Int32At(kMeshTableField));
    Tell([&](WalkObserver& o) { o.FileHeaderRead(header); });
    if (noting_) ReportShortFile(header.FileSize);

    MeshTable meshes;
    meshes.DeclaredCount = header.MeshCount;
    meshes.Position = header.MeshTable;
    ReadMeshTable(header, meshes.MeshPositions);
    if (model_ != nullptr) {
        model_->GlobalOffset = globalOffset_;
        model_->Meshes = meshes;
    }

    for (size_t c = 0; c < meshes.MeshPositions.size() && !stopped_; ++c) {
        const auto mesh = static_cast<int32_t>(c);
        const int64_t meshPosition = meshes.MeshPositions[c];
        currentMesh_ = mesh;
        int32_t meshNode = 0;
        if (options_.BuildTree)
            meshNode = AddNode(0, "Mesh" + NumberText::IntText(mesh), meshPosition, kTypeJump);
        tables_.MeshFaceBase = 0;
        currentLod_ = 1;
        Tell([&](WalkObserver& o) { o.MeshStarted(mesh, meshPosition); });
        if (stream_.BytesFrom(meshPosition) < kJumpFieldsEnd && noting_) {
            Line() += "   !! Mesh ";
            AppendInt(mesh);
            line_ += " is at offset ";
            AppendInt(meshPosition);
            line_ += ", outside the file";
            // The mesh's node has the mesh's position; the table entry is what lies in the file.
            TellProblem(ProblemKind::OutsideFile, meshPosition,
                        meshes.Position + kSlotSize * static_cast<int64_t>(c));
        }
        WalkJumpBlock(meshPosition, meshNode);
    }
}

// The position of every mesh whose mesh jump table entry lies in the file.
void OptWalker::ReadMeshTable(const FileHeaderRecord& header, std::vector<int64_t>& meshes) {
    currentBlock_ = kRootBlockOffset;
    Tell([&](WalkObserver& o) { o.MeshTableRead(header); });
    int64_t count = header.MeshCount > 0 ? ElementsInFile(header.MeshTable, header.MeshCount,
                                                          kSlotSize, "mesh jump table")
                                         : 0;
    // Every mesh is at least one block: one past the most blocks a walk visits stops the walk.
    count =
        Afford(std::min(count, std::max<int64_t>(options_.Budget.MostBlocks, 0) + 1), kSlotSize);
    meshes.clear();
    meshes.reserve(static_cast<size_t>(count));
    for (int64_t c = 0; c < count; ++c)
        meshes.push_back(AdjustOffset(stream_.Int32At(header.MeshTable + kSlotSize * c)));
}

void OptWalker::WalkMesh(int32_t mesh, int64_t position) {
    currentMesh_ = mesh;
    tables_.MeshFaceBase = 0;
    currentLod_ = 1;
    Tell([&](WalkObserver& o) { o.MeshStarted(mesh, position); });
    WalkJumpBlock(position, 0);
}

int32_t OptWalker::AddNode(int32_t parent, std::string label, int64_t offset, int32_t type) {
    const int32_t node = model_->Tree.AddChild(parent, std::move(label));
    model_->BlockTable.push_back({offset, type, currentMesh_});
    return node;
}

BlockHeader OptWalker::ReadHeader(int64_t p) const {
    BlockHeader header;
    header.Position = p;
    header.Id = stream_.Int32At(p + kBlockIdField);
    header.Type = stream_.Int32At(p + kBlockTypeField);
    header.SlotCount = stream_.Int32At(p + kSlotCountField);
    header.SlotTable = AdjustOffset(stream_.Int32At(p + kSlotTableField));
    header.Count = stream_.Int32At(p + kCountField);
    header.Payload = AdjustOffset(stream_.Int32At(p + kPayloadField));
    return header;
}

void OptWalker::WalkJumpBlock(int64_t position, int32_t parentNode) {
    stack_.clear();
    onPath_.clear();
    EnterJumpBlock(position, parentNode);
    while (!stack_.empty()) {
        const size_t top = stack_.size() - 1;
        if (stopped_) {
            stack_.clear();
            onPath_.clear();
            break;
        }
        if (stack_[top].ChildPending) {
            stack_[top].ChildPending = false;
            FinishSlot(top, stack_[top].ChildType, stack_[top].ChildPosition);
            continue;
        }
        if (stack_[top].NextSlot >= stack_[top].SlotCount) {
            onPath_.erase(stack_[top].Position);
            stack_.pop_back();
            continue;
        }
        VisitSlot(top);
    }
}

void OptWalker::EnterJumpBlock(int64_t position, int32_t parentNode) {
    currentBlock_ = position;
    if (!CountBlock() || !Spend(kBlockHeaderSize)) return;
    const BlockHeader header = ReadHeader(position);
    if (header.SlotCount <= 0) return;
    Tell([&](WalkObserver& o) { o.JumpBlockEntered(header); });
    const int64_t slots =
        ElementsInFile(header.SlotTable, header.SlotCount, kSlotSize, "jump table");
    if (header.Type == kTypeLod && !observers_.empty()) {
        const std::vector<float> distances = ReadLodDistances(position);
        Tell([&](WalkObserver& o) { o.LodBlockEntered(Place(), position, distances); });
    }
    onPath_.insert(position);
    stack_.push_back(
        Frame{position, header.Type, slots, header.SlotTable, 0, parentNode, false, 0, 0});
}

void OptWalker::VisitSlot(size_t frameIndex) {
    const int64_t slot = stack_[frameIndex].NextSlot++;
    const Frame frame = stack_[frameIndex];
    currentBlock_ = frame.Position;
    if (!Spend(8)) return;
    const int64_t slotPosition = frame.TablePosition + kSlotSize * slot;
    const int32_t stored = stream_.Int32At(slotPosition);
    if (stored == 0) {
        const SlotRecord empty{slot, slotPosition, 0, 0};
        Tell([&](WalkObserver& o) { o.EmptySlot(empty); });
        FinishSlot(frameIndex, -1, 0);
        return;
    }
    const int64_t child = AdjustOffset(stored);
    if (stream_.BytesFrom(child) < kTypeFieldEnd) {
        // Not even the block's type lies in the file: there is no block to report.
        if (noting_) {
            Line() += "       !! Jump address ";
            AppendInt(slot + 1);
            line_ += " is to offset ";
            AppendInt(child);
            line_ += ", outside the file: not followed";
            TellProblem(ProblemKind::OutsideFile, frame.Position, slotPosition);
        }
        FinishSlot(frameIndex, -1, 0);
        return;
    }
    const int32_t type = stream_.Int32At(child + kBlockTypeField);
    if (!IsJumpType(type)) {
        WalkDataBlock(frame.Node, type, child);
        FinishSlot(frameIndex, -1, 0);
        return;
    }

    Tell([&](WalkObserver& o) { o.JumpChildFound(type, child); });
    int32_t childNode = 0;
    if (options_.BuildTree) {
        std::string label =
            "Jumptype " + NumberText::IntText(type) + " at offset " + NumberText::IntText(child);
        if (frame.OwnType == kTypeLod)
            label += ", curLOD is " + NumberText::IntText(currentLod_);
        else if (type == kTypeFgTextures)
            label += ", FG textures!";
        childNode = AddNode(frame.Node, std::move(label), child, type);
        model_->Tree.SetImage(childNode, kImageJump);
    }
    if (onPath_.contains(child)) {
        if (noting_) {
            Line() += "       !! Jump address ";
            AppendInt(slot + 1);
            line_ += " leads back to the block at offset ";
            AppendInt(child);
            line_ += " on the current path: not followed";
            TellProblem(ProblemKind::LeadsBack, frame.Position, slotPosition);
        }
        FinishSlot(frameIndex, type, child);
        return;
    }
    stack_[frameIndex].ChildPending = true;
    stack_[frameIndex].ChildType = type;
    stack_[frameIndex].ChildPosition = child;
    EnterJumpBlock(child, childNode);
}

void OptWalker::FinishSlot(size_t frameIndex, int32_t childType, int64_t childPosition) {
    const Frame& frame = stack_[frameIndex];
    // A texture header is a jump block and then a data block: its name comes after its children.
    if (childType == kTypeTexHeader) WalkDataBlock(frame.Node, childType, childPosition);
    if (stack_[frameIndex].OwnType == kTypeLod) ++currentLod_;
}

void OptWalker::WalkDataBlock(int32_t parentNode, int32_t type, int64_t q) {
    currentBlock_ = q;
    if (!CountBlock() || !Spend(kBlockHeaderSize)) return;
    Tell([&](WalkObserver& o) { o.DataBlockFound(type, q); });
    int32_t dataNode = -1;
    if (options_.BuildTree && type != kTypeTexHeader)
        dataNode = AddNode(
            parentNode, "Data block " + NumberText::IntText(type) + " at " + NumberText::IntText(q),
            q, type);
    ReadDataBlock(type, q);
    if (dataNode >= 0 && type == kTypeFace) model_->Tree.SetImage(dataNode, kImageFace);
    if (dataNode >= 0 && type == kTypeHardpoint) model_->Tree.SetImage(dataNode, kImageHardpoint);
}

ShownBlock OptWalker::ReadDataBlock(int32_t type, int64_t q) {
    ShownBlock shown;
    switch (type) {
        case kTypeVertex:
            ReadVertexBlock(q);
            break;
        case kTypeVertexNormal:
            ReadVertexNormalBlock(q);
            break;
        case kTypeTextureVertex:
            ReadTextureVertexBlock(q);
            break;
        case kTypeFace:
            ReadFaceBlock(q);
            break;
        case kTypeHardpoint:
            shown.Hardpoint = ReadHardpointBlock(q);
            break;
        case kTypeMeshDescriptor:
            shown.Descriptor = ReadMeshDescriptorBlock(q);
            break;
        case kTypeTexHeader:
            ReadTexHeaderBlock(q);
            break;
        case kTypeTexHeaderPointer:
            ReadTexHeaderPointerBlock(q);
            break;
        default:
            break;
    }
    return shown;
}

void OptWalker::ListJumpBlock(int64_t p) {
    const BlockHeader header = ReadHeader(p);
    Tell([&](WalkObserver& o) { o.JumpBlockListed(header); });
    ListSlots(header);
}

void OptWalker::ListSlots(const BlockHeader& header) {
    const int64_t table = header.SlotTable;
    const int64_t slots =
        Afford(ListedLeads(header.SlotCount > 0
                               ? ElementsInFile(table, header.SlotCount, kSlotSize, "jump table")
                               : 0),
               kSlotSize);
    for (int64_t i = 0; i < slots; ++i) {
        SlotRecord slot{i, table + kSlotSize * i, 0, 0};
        slot.Stored = stream_.Int32At(slot.Position);
        slot.Target = AdjustOffset(slot.Stored);
        Tell([&](WalkObserver& o) { o.SlotListed(slot); });
    }
}

ShownBlock OptWalker::ShowBlock(const BlockEntry& entry) {
    ResetBudget();
    currentMesh_ = entry.Mesh;
    currentBlock_ = entry.Offset;
    // Faces are numbered from the block's start.
    tables_.MeshFaceBase = 0;
    ShownBlock shown;
    if (entry.Type == kTypeJump)
        ListJumpBlock(entry.Offset);
    else if (entry.Type == kTypeLod)
        ListLodBlock(entry.Offset);
    else if (entry.Type != kTypeFgTextures)
        shown = ReadDataBlock(entry.Type, entry.Offset);
    shown.Mesh = entry.Mesh;
    return shown;
}

}  // namespace vexlor
