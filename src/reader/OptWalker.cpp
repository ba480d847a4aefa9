// The walk: the file header, the mesh jump table and the depth-first visit of every jump block;
// and the report of one chosen block.
#include "OptWalker.h"

#include <algorithm>
#include <limits>

#include "ByteOutput.h"
#include "FormatTables.h"
#include "HeaderCheck.h"

namespace vexlor {

namespace {
constexpr std::string_view kMeshRule = "-------------------------------------------";
constexpr int64_t kSlotSize = format::kSlots.RecordSize;
static_assert(format::kMeshTable.RecordSize == kSlotSize);
// A block whose slot count and slot table do not lie in the file is no block to walk.
constexpr int64_t kJumpFieldsEnd = kSlotTableField + format::kValueSize;
// A child whose type does not lie in the file is no block at all.
constexpr int64_t kTypeFieldEnd = kBlockTypeField + format::kValueSize;
}  // namespace

OptWalker::OptWalker(const OptStream& stream, MeshTables& tables, const TypeNameTables& names,
                     ReportSink& sink, const WalkOptions& options, OptModel* model)
    : stream_(stream),
      tables_(tables),
      names_(names),
      sink_(sink),
      options_(options),
      model_(model),
      observer_(options.Observer) {
    // Only a walk that has a model to fill may be asked to fill one.
    if (model_ == nullptr) {
        options_.BuildTree = false;
        options_.FillDrawTables = false;
        options_.RecordProblems = false;
    }
    if (options_.RecordProblems) problems_ = &model_->Problems;
}

void OptWalker::EmitProblem(ProblemKind kind, int64_t block, int64_t offset) {
    Emit();
    if (problems_ != nullptr) problems_->Add(kind, block, offset, line_);
}

void OptWalker::ResetBudget() {
    const WalkBudget& allowed = options_.Budget;
    int64_t perByte = 0;
    if (__builtin_mul_overflow(std::max<int64_t>(allowed.PerByte, 0), stream_.Size(), &perByte) ||
        __builtin_add_overflow(perByte, std::max<int64_t>(allowed.Floor, 0), &budget_))
        budget_ = std::numeric_limits<int64_t>::max();
    stopped_ = false;
}

bool OptWalker::Spend(int64_t work) {
    if (budget_ < 0) ResetBudget();
    if (stopped_) return false;
    budget_ -= work;
    if (budget_ >= 0) return true;
    stopped_ = true;
    if (Noting()) {
        Line() +=
            "!! walk stopped: the file's slots lead to far more blocks than the file holds "
            "(blocks shared by many slots)";
        EmitProblem(ProblemKind::WalkStopped, currentBlock_, currentBlock_);
    }
    return false;
}

int64_t OptWalker::ElementsInFile(int64_t position, int64_t count, int64_t elementSize,
                                  std::string_view what) {
    if (count == 0) return 0;
    if (count < 0) {
        if (Noting()) {
            Line() += "   !! ";
            line_ += what;
            line_ += " at offset ";
            AppendInt(position);
            line_ += ": negative count ";
            AppendInt(count);
            line_ += ", nothing read";
            EmitProblem(ProblemKind::NegativeCount, currentBlock_, position);
        }
        return 0;
    }
    const int64_t held = stream_.BytesFrom(position) / elementSize;
    if (count <= held) return count;
    ReportCut(what, position, held, count);
    return held;
}

void OptWalker::ReportCut(std::string_view what, int64_t position, int64_t held, int64_t count) {
    if (!Noting()) return;
    Line() += "   !! ";
    line_ += what;
    line_ += " at offset ";
    AppendInt(position);
    line_ += ": the file holds ";
    AppendInt(held);
    line_ += " of ";
    AppendInt(count);
    line_ += ", the rest are not read";
    EmitProblem(ProblemKind::CountCut, currentBlock_, position);
}

// A file shorter than its header, or shorter than the size its header gives, has lost its end.
void OptWalker::ReportShortFile(int32_t fileSize) {
    const int64_t length = stream_.Size();
    if (length < kFileHeaderSize) {
        Line() += "!! the file is only ";
        AppendInt(length);
        line_ += " bytes long, shorter than the ";
        AppendInt(kFileHeaderSize);
        line_ += "-byte header";
        EmitProblem(ProblemKind::ShortFile, kRootBlockOffset, 0);
    } else if (int64_t{fileSize} + kFileHeaderBias > length) {
        Line() += "!! the header gives a file size of ";
        AppendInt(int64_t{fileSize} + kFileHeaderBias);
        line_ += " but the file is ";
        AppendInt(length);
        line_ += " bytes long: its end is missing";
        // The size field of the header.
        EmitProblem(ProblemKind::ShortFile, kRootBlockOffset, kFileSizeField);
    }
}

void OptWalker::ReportShortHeader(int64_t p) {
    if (stream_.BytesFrom(p) >= kBlockHeaderSize || !Noting()) return;
    Line() += "   !! block header at offset ";
    AppendInt(p);
    line_ += " runs past the end of the file; what is missing reads as 0";
    EmitProblem(ProblemKind::ShortHeader, p, p);
}

void OptWalker::RMain() {
    ResetBudget();
    currentBlock_ = kRootBlockOffset;
    if (options_.BuildTree) {
        model_->Tree.DeleteRootChildren();
        model_->BlockTable.assign(1, BlockEntry{kRootBlockOffset, kTypeJump, 0});
    }
    if (problems_ != nullptr) problems_->Clear();

    if (Noting()) {
        const std::string notOpt = NotOptReason(stream_);
        if (!notOpt.empty()) {
            Line() += "!! this does not look like an OPT file: ";
            line_ += notOpt;
            EmitProblem(ProblemKind::NotOptFile, kRootBlockOffset, 0);
        }
    }
    const int32_t fileSize = stream_.Int32At(kFileSizeField);
    globalOffset_ = int64_t{stream_.Int32At(kGlobalOffsetField)} - kFileHeaderBias;
    if (sink_.Active()) {
        Line() += "Global Offset (adjusted) =";
        AppendInt(globalOffset_);
        line_ += " ,FileSize =";
        AppendInt(int64_t{fileSize} + kFileHeaderBias);
        Emit();
    }
    if (Noting()) ReportShortFile(fileSize);

    MeshTable meshes;
    ReadMeshTable(meshes.DeclaredCount, meshes.Position, meshes.MeshPositions);
    if (model_ != nullptr) {
        model_->GlobalOffset = globalOffset_;
        model_->Meshes = meshes;
    }
    if (options_.Prj != nullptr) {
        const uint8_t placeholder[4] = {0, 0, 0, 0};
        options_.Prj->WriteAt(0, placeholder, sizeof placeholder);
        prjRecords_ = 0;
    }

    for (size_t c = 0; c < meshes.MeshPositions.size() && !stopped_; ++c) {
        const auto mesh = static_cast<int32_t>(c);
        const int64_t meshPosition = meshes.MeshPositions[c];
        currentMesh_ = mesh;
        int32_t meshNode = 0;
        if (options_.BuildTree)
            meshNode = AddNode(0, "Mesh" + NumberText::IntText(mesh), meshPosition, kTypeJump);
        if (sink_.Active()) {
            Line() += "Mesh ";
            AppendInt(mesh);
            line_ += ": Offset is ";
            AppendInt(meshPosition);
            sink_.ReportListLine(kMeshRule);
            sink_.ReportListLine(line_);
            Emit(kMeshRule);
            Emit();
        }
        if (stream_.BytesFrom(meshPosition) < kJumpFieldsEnd && Noting()) {
            Line() += "   !! Mesh ";
            AppendInt(mesh);
            line_ += " is at offset ";
            AppendInt(meshPosition);
            line_ += ", outside the file";
            // The mesh's node has the mesh's position; the table entry is what lies in the file.
            EmitProblem(ProblemKind::OutsideFile, meshPosition,
                        meshes.Position + kSlotSize * static_cast<int64_t>(c));
        }
        tables_.MeshFaceBase = 0;
        curLod_ = 1;
        if (observer_ != nullptr) observer_->MeshStarted(mesh, meshPosition);
        WalkJumpBlock(meshPosition, meshNode);
    }
    if (problems_ != nullptr) problems_->Finish();

    if (options_.Prj != nullptr) {
        const auto count = static_cast<uint32_t>(static_cast<int32_t>(prjRecords_));
        const uint8_t bytes[4] = {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                                  static_cast<uint8_t>(count >> 16),
                                  static_cast<uint8_t>(count >> 24)};
        options_.Prj->WriteAt(0, bytes, sizeof bytes);
    }
}

// The header's mesh count and mesh jump table, and the position of every mesh whose table entry
// lies in the file.
void OptWalker::ReadMeshTable(int32_t& declared, int64_t& position, std::vector<int64_t>& meshes) {
    currentBlock_ = kRootBlockOffset;
    declared = stream_.Int32At(kMeshCountField);
    position = AdjustOffset(stream_.Int32At(kMeshTableField));
    if (sink_.Active()) {
        Line() += " NumJumps, jumpToJumps:";
        AppendInt(declared);
        line_ += " , ";
        AppendInt(position);
        Emit();
    }
    const int64_t count =
        declared > 0 ? ElementsInFile(position, declared, kSlotSize, "mesh jump table") : 0;
    meshes.clear();
    meshes.reserve(static_cast<size_t>(count));
    for (int64_t c = 0; c < count; ++c)
        meshes.push_back(AdjustOffset(stream_.Int32At(position + kSlotSize * c)));
}

void OptWalker::WalkMesh(int32_t mesh, int64_t position) {
    currentMesh_ = mesh;
    tables_.MeshFaceBase = 0;
    curLod_ = 1;
    if (observer_ != nullptr) observer_->MeshStarted(mesh, position);
    WalkJumpBlock(position, 0);
}

int32_t OptWalker::AddNode(int32_t parent, std::string label, int64_t offset, int32_t type) {
    const int32_t node = model_->Tree.AddChild(parent, std::move(label));
    model_->BlockTable.push_back({offset, type, currentMesh_});
    return node;
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
        if (stack_[top].childPending) {
            stack_[top].childPending = false;
            FinishSlot(top, stack_[top].childType, stack_[top].childPosition);
            continue;
        }
        if (stack_[top].nextSlot >= stack_[top].slotCount) {
            onPath_.erase(stack_[top].position);
            stack_.pop_back();
            continue;
        }
        VisitSlot(top);
    }
}

void OptWalker::EnterJumpBlock(int64_t position, int32_t parentNode) {
    currentBlock_ = position;
    if (!Spend(kBlockHeaderSize)) return;
    const int32_t ownType = stream_.Int32At(position + kBlockTypeField);
    const int32_t count = stream_.Int32At(position + kSlotCountField);
    if (count <= 0) return;
    const int64_t table = AdjustOffset(stream_.Int32At(position + kSlotTableField));
    if (sink_.Active()) {
        Line() += "  Processing Jump block with ";
        AppendInt(count);
        line_ += " jumps at offset ";
        AppendInt(position);
        Emit();
        Line() += "      first jump address is at offset ";
        AppendInt(table);
        Emit();
    }
    const int64_t slots = ElementsInFile(table, count, kSlotSize, "jump table");
    if (observer_ != nullptr && ownType == kTypeLod)
        observer_->LodBlockEntered(Place(), position, ReadLodDistances(position));
    onPath_.insert(position);
    stack_.push_back(Frame{position, ownType, slots, table, 0, parentNode, false, 0, 0});
}

void OptWalker::VisitSlot(size_t frameIndex) {
    const int64_t slot = stack_[frameIndex].nextSlot++;
    const Frame frame = stack_[frameIndex];
    currentBlock_ = frame.position;
    if (!Spend(8)) return;
    const int64_t slotPosition = frame.tablePosition + kSlotSize * slot;
    const int32_t stored = stream_.Int32At(slotPosition);
    if (stored == 0) {
        if (sink_.Active()) {
            Line() += "       Jump address ";
            AppendInt(slot + 1);
            line_ += " is null";
            Emit();
        }
        FinishSlot(frameIndex, -1, 0);
        return;
    }
    const int64_t child = AdjustOffset(stored);
    if (stream_.BytesFrom(child) < kTypeFieldEnd) {
        // Not even the block's type lies in the file: there is no block to report.
        if (Noting()) {
            Line() += "       !! Jump address ";
            AppendInt(slot + 1);
            line_ += " is to offset ";
            AppendInt(child);
            line_ += ", outside the file: not followed";
            EmitProblem(ProblemKind::OutsideFile, frame.position, slotPosition);
        }
        FinishSlot(frameIndex, -1, 0);
        return;
    }
    const int32_t type = stream_.Int32At(child + kBlockTypeField);
    if (!IsJumpType(type)) {
        WalkDataBlock(frame.node, type, child);
        FinishSlot(frameIndex, -1, 0);
        return;
    }

    if (sink_.Active()) {
        Line() += " Found JUMP BLOCK type ";
        AppendInt(type);
        line_ += " at offset ";
        AppendInt(child);
        Emit();
    }
    int32_t childNode = 0;
    if (options_.BuildTree) {
        std::string label =
            "Jumptype " + NumberText::IntText(type) + " at offset " + NumberText::IntText(child);
        if (frame.ownType == kTypeLod)
            label += ", curLOD is " + NumberText::IntText(curLod_);
        else if (type == kTypeFgTextures)
            label += ", FG textures!";
        childNode = AddNode(frame.node, std::move(label), child, type);
        model_->Tree.SetImage(childNode, kImageJump);
    }
    if (onPath_.contains(child)) {
        if (Noting()) {
            Line() += "       !! Jump address ";
            AppendInt(slot + 1);
            line_ += " leads back to the block at offset ";
            AppendInt(child);
            line_ += " on the current path: not followed";
            EmitProblem(ProblemKind::LeadsBack, frame.position, slotPosition);
        }
        FinishSlot(frameIndex, type, child);
        return;
    }
    stack_[frameIndex].childPending = true;
    stack_[frameIndex].childType = type;
    stack_[frameIndex].childPosition = child;
    EnterJumpBlock(child, childNode);
}

void OptWalker::FinishSlot(size_t frameIndex, int32_t childType, int64_t childPosition) {
    const Frame& frame = stack_[frameIndex];
    // A texture header is a jump block and then a data block: its name comes after its children.
    if (childType == kTypeTexHeader) WalkDataBlock(frame.node, childType, childPosition);
    if (stack_[frameIndex].ownType == kTypeLod) ++curLod_;
}

void OptWalker::WalkDataBlock(int32_t parentNode, int32_t type, int64_t q) {
    currentBlock_ = q;
    Spend(kBlockHeaderSize);
    if (sink_.ToList()) {
        Line() += "   Found DATA BLOCK type ";
        AppendInt(type);
        line_ += " at offset ";
        AppendInt(q);
        sink_.ReportListLine(line_);
    }
    int32_t dataNode = -1;
    if (options_.BuildTree && type != kTypeTexHeader)
        dataNode = AddNode(
            parentNode, "Data block " + NumberText::IntText(type) + " at " + NumberText::IntText(q),
            q, type);
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
        case kTypeFace: {
            const int64_t first = tables_.MeshFaceBase;
            const int64_t count = ReadFaceBlock(q);
            ReadFaceDetails(q);
            if (dataNode >= 0) model_->Tree.SetImage(dataNode, kImageFace);
            if (observer_ != nullptr) observer_->FacesRead(Place(), q, tables_, first, count);
            break;
        }
        case kTypeHardpoint: {
            const HardpointRecord hardpoint = ReadHardpointBlock(q);
            if (dataNode >= 0) model_->Tree.SetImage(dataNode, kImageHardpoint);
            if (observer_ != nullptr) observer_->HardpointRead(Place(), q, hardpoint);
            break;
        }
        case kTypeMeshDescriptor: {
            const MeshDescriptorRecord descriptor = ReadMeshDescriptorBlock(q);
            if (observer_ != nullptr) observer_->DescriptorRead(Place(), q, descriptor);
            break;
        }
        case kTypeTexHeader:
        case kTypeTexHeaderPointer: {
            const std::string name =
                type == kTypeTexHeader ? ReadTexHeaderBlock(q) : ReadTexHeaderPointerBlock(q);
            if (observer_ != nullptr) observer_->TextureNamed(Place(), q, name);
            break;
        }
        default:
            break;
    }
}

void OptWalker::ListJumpBlock(int64_t p) {
    const int32_t count = stream_.Int32At(p + kSlotCountField);
    Line() += "  Jump block with ";
    AppendInt(count);
    line_ += " jumps at offset ";
    AppendInt(p);
    Emit();
    ListSlots(p, count);
}

void OptWalker::ListSlots(int64_t p, int32_t count) {
    const int64_t table = AdjustOffset(stream_.Int32At(p + kSlotTableField));
    const int64_t slots = count > 0 ? ElementsInFile(table, count, kSlotSize, "jump table") : 0;
    for (int64_t i = 0; i < slots; ++i) {
        const int32_t stored = stream_.Int32At(table + kSlotSize * i);
        Line() += "       Jump pointer ";
        AppendInt(i + 1);
        line_ += " at offset ";
        AppendInt(table + kSlotSize * i);
        if (stored == 0) {
            line_ += " is null";
        } else {
            line_ += " is to offset ";
            AppendInt(AdjustOffset(stored));
        }
        Emit();
    }
}

ShownBlock OptWalker::ShowBlock(const BlockEntry& entry) {
    ResetBudget();
    currentMesh_ = entry.Mesh;
    currentBlock_ = entry.Offset;
    ShownBlock shown;
    shown.Mesh = entry.Mesh;
    const int64_t p = entry.Offset;
    switch (entry.Type) {
        case kTypeJump:
            ListJumpBlock(p);
            break;
        case kTypeLod:
            ListLodBlock(p);
            break;
        case kTypeVertex:
            ReadVertexBlock(p);
            break;
        case kTypeVertexNormal:
            ReadVertexNormalBlock(p);
            break;
        case kTypeTextureVertex:
            ReadTextureVertexBlock(p);
            break;
        case kTypeHardpoint:
            shown.Hardpoint = ReadHardpointBlock(p);
            break;
        case kTypeMeshDescriptor:
            shown.Descriptor = ReadMeshDescriptorBlock(p);
            break;
        case kTypeTexHeader:
            ReadTexHeaderBlock(p);
            break;
        case kTypeTexHeaderPointer:
            ReadTexHeaderPointerBlock(p);
            break;
        case kTypeFace:
            Emit("");
            Emit("NB face numbers are from start of block only");
            tables_.MeshFaceBase = 0;
            ReadFaceBlock(p);
            break;
        default:
            break;
    }
    return shown;
}

}  // namespace vexlor
