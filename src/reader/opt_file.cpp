// The walk: the file header, the mesh jump table and the depth-first visit of every jump block.
#include "opt_file.h"

#include <algorithm>
#include <limits>

#include "FileOutput.h"
#include "HeaderCheck.h"

namespace vexlor {

namespace {
constexpr int64_t kBlockHeaderSize = 24;
constexpr int64_t kFileHeaderSize = 22;
constexpr std::string_view kMeshRule = "-------------------------------------------";

bool IsJumpType(int32_t type) {
    return type == kTypeJump || type == kTypeLod || type == kTypeFgTextures ||
           type == kTypeTexHeader;
}
}  // namespace

void OptFile::ResetBudget() {
    const WalkBudget& allowed = store_.Budget;
    int64_t perByte = 0;
    if (__builtin_mul_overflow(std::max<int64_t>(allowed.PerByte, 0), stream_.Size(), &perByte) ||
        __builtin_add_overflow(perByte, std::max<int64_t>(allowed.Floor, 0), &budget_))
        budget_ = std::numeric_limits<int64_t>::max();
    stopped_ = false;
}

bool OptFile::Spend(int64_t work) {
    if (budget_ < 0) ResetBudget();
    if (stopped_) return false;
    budget_ -= work;
    if (budget_ >= 0) return true;
    stopped_ = true;
    Emit(
        "!! walk stopped: the file's slots lead to far more blocks than the file holds "
        "(blocks shared by many slots)");
    return false;
}

int64_t OptFile::ElementsInFile(int64_t position, int64_t count, int64_t elementSize,
                                std::string_view what) {
    if (count == 0) return 0;
    if (count < 0) {
        if (sink_.Active()) {
            Line() += "   !! ";
            line_ += what;
            line_ += " at offset ";
            AppendInt(position);
            line_ += ": negative count ";
            AppendInt(count);
            line_ += ", nothing read";
            Emit();
        }
        return 0;
    }
    const int64_t held = stream_.BytesFrom(position) / elementSize;
    if (count <= held) return count;
    if (sink_.Active()) {
        Line() += "   !! ";
        line_ += what;
        line_ += " at offset ";
        AppendInt(position);
        line_ += ": the file holds ";
        AppendInt(held);
        line_ += " of ";
        AppendInt(count);
        line_ += ", the rest are not read";
        Emit();
    }
    return held;
}

// A file shorter than its header, or shorter than the size its header gives, has lost its end.
void OptFile::ReportShortFile() {
    const int64_t length = stream_.Size();
    if (length < kFileHeaderSize) {
        Line() += "!! the file is only ";
        AppendInt(length);
        line_ += " bytes long, shorter than the ";
        AppendInt(kFileHeaderSize);
        line_ += "-byte header";
        Emit();
    } else if (int64_t{store_.FileSize} + 8 > length) {
        Line() += "!! the header gives a file size of ";
        AppendInt(int64_t{store_.FileSize} + 8);
        line_ += " but the file is ";
        AppendInt(length);
        line_ += " bytes long: its end is missing";
        Emit();
    }
}

void OptFile::ReportShortHeader(int64_t p) {
    if (stream_.BytesFrom(p) >= kBlockHeaderSize || !sink_.Active()) return;
    Line() += "   !! block header at offset ";
    AppendInt(p);
    line_ += " runs past the end of the file; what is missing reads as 0";
    Emit();
}

void OptFile::RMain() {
    ResetBudget();
    store_.CurrentTreeNode = 0;
    if (store_.BuildTree) {
        store_.Tree.DeleteRootChildren();
        store_.BlockTable.resize(1);
    }

    if (sink_.Active()) {
        const std::string notOpt = NotOptReason(stream_);
        if (!notOpt.empty()) {
            Line() += "!! this does not look like an OPT file: ";
            line_ += notOpt;
            Emit();
        }
    }
    stream_.SeekOpt(4);
    store_.FileSize = stream_.ReadInt32();
    stream_.SeekOpt(8);
    store_.GlobalOffset = int64_t{stream_.ReadInt32()} - 8;
    if (sink_.Active()) {
        Line() += "Global Offset (adjusted) =";
        AppendInt(store_.GlobalOffset);
        line_ += " ,FileSize =";
        AppendInt(int64_t{store_.FileSize} + 8);
        Emit();
        ReportShortFile();
    }

    stream_.SeekOpt(14);
    const int32_t numJumps = stream_.ReadInt32();
    stream_.SeekOpt(18);
    const int64_t meshTable = AdjustOffset(stream_.ReadInt32());
    if (sink_.Active()) {
        Line() += " NumJumps, jumpToJumps:";
        AppendInt(numJumps);
        line_ += " , ";
        AppendInt(meshTable);
        Emit();
    }

    store_.BlockCount = 0;
    store_.BlockTable[0].Offset = kRootBlockOffset;
    store_.BlockTable[0].Type = kTypeJump;
    if (store_.WritePrj && prj_ != nullptr) {
        const uint8_t placeholder[4] = {0, 0, 0, 0};
        prj_->WriteAt(0, placeholder, sizeof placeholder);
        store_.ShownFaceCount = 0;
    }

    const int64_t meshes =
        numJumps > 0 ? ElementsInFile(meshTable, numJumps, 4, "mesh jump table") : 0;
    for (int64_t c = 0; c < meshes && !stopped_; ++c) {
        store_.CurrentMesh = static_cast<int32_t>(c);
        store_.MeshFaceBase = 0;
        store_.curLOD = 1;
        stream_.SeekOpt(meshTable + 4 * c);
        const int64_t meshPosition = AdjustOffset(stream_.ReadInt32());
        store_.CurrentTreeNode = 0;
        if (store_.BuildTree) {
            store_.Tree.AddChild(0, "Mesh" + NumberText::IntText(c));
            store_.BlockTable.push_back({meshPosition, kTypeJump, store_.CurrentMesh});
            ++store_.BlockCount;
        }
        if (sink_.Active()) {
            Line() += "Mesh ";
            AppendInt(c);
            line_ += ": Offset is ";
            AppendInt(meshPosition);
            sink_.ReportListLine(kMeshRule);
            sink_.ReportListLine(line_);
            Emit(kMeshRule);
            Emit();
        }
        if (stream_.BytesFrom(meshPosition) < 16 && sink_.Active()) {
            Line() += "   !! Mesh ";
            AppendInt(c);
            line_ += " is at offset ";
            AppendInt(meshPosition);
            line_ += ", outside the file";
            Emit();
        }
        WalkJumpBlock(meshPosition, static_cast<int32_t>(store_.BlockCount));
    }

    if (store_.WritePrj && prj_ != nullptr) {
        const auto count = static_cast<uint32_t>(static_cast<int32_t>(store_.ShownFaceCount));
        const uint8_t bytes[4] = {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                                  static_cast<uint8_t>(count >> 16),
                                  static_cast<uint8_t>(count >> 24)};
        prj_->WriteAt(0, bytes, sizeof bytes);
    }
}

void OptFile::WalkJumpBlock(int64_t position, int32_t parentNode) {
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

void OptFile::EnterJumpBlock(int64_t position, int32_t parentNode) {
    if (!Spend(kBlockHeaderSize)) return;
    stream_.SeekOpt(position + 4);
    const int32_t ownType = stream_.ReadInt32();
    stream_.SeekOpt(position + 8);
    const int32_t count = stream_.ReadInt32();
    if (count <= 0) return;
    const int64_t table = AdjustOffset(stream_.ReadInt32());
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
    const int64_t slots = ElementsInFile(table, count, 4, "jump table");
    if (store_.BuildTree) store_.CurrentTreeNode = parentNode;
    onPath_.insert(position);
    stack_.push_back(Frame{position, ownType, slots, table, 0, parentNode, false, 0, 0});
}

void OptFile::VisitSlot(size_t frameIndex) {
    const int64_t slot = stack_[frameIndex].nextSlot++;
    const Frame frame = stack_[frameIndex];
    if (!Spend(8)) return;
    stream_.SeekOpt(frame.tablePosition + 4 * slot);
    const int32_t stored = stream_.ReadInt32();
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
    if (stream_.BytesFrom(child) < 8) {
        // Not even the block's type lies in the file: there is no block to report.
        if (sink_.Active()) {
            Line() += "       !! Jump address ";
            AppendInt(slot + 1);
            line_ += " is to offset ";
            AppendInt(child);
            line_ += ", outside the file: not followed";
            Emit();
        }
        FinishSlot(frameIndex, -1, 0);
        return;
    }
    stream_.SeekOpt(child + 4);
    const int32_t type = stream_.ReadInt32();
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
    if (store_.BuildTree) {
        std::string label =
            "Jumptype " + NumberText::IntText(type) + " at offset " + NumberText::IntText(child);
        if (frame.ownType == kTypeLod)
            label += ", curLOD is " + NumberText::IntText(store_.curLOD);
        else if (type == kTypeFgTextures)
            label += ", FG textures!";
        childNode = store_.Tree.AddChild(frame.node, std::move(label));
        store_.BlockTable.push_back({child, type, store_.CurrentMesh});
        ++store_.BlockCount;
        store_.Tree.SetImage(childNode, kImageJump);
    }
    if (onPath_.contains(child)) {
        if (sink_.Active()) {
            Line() += "       !! Jump address ";
            AppendInt(slot + 1);
            line_ += " leads back to the block at offset ";
            AppendInt(child);
            line_ += " on the current path: not followed";
            Emit();
        }
        FinishSlot(frameIndex, type, child);
        return;
    }
    stack_[frameIndex].childPending = true;
    stack_[frameIndex].childType = type;
    stack_[frameIndex].childPosition = child;
    EnterJumpBlock(child, childNode);
}

void OptFile::FinishSlot(size_t frameIndex, int32_t childType, int64_t childPosition) {
    const Frame& frame = stack_[frameIndex];
    if (store_.BuildTree) store_.CurrentTreeNode = frame.node;
    // A texture header is a jump block and then a data block: its name comes after its children.
    if (childType == kTypeTexHeader) WalkDataBlock(frame.node, childType, childPosition);
    if (stack_[frameIndex].ownType == kTypeLod) ++store_.curLOD;
}

void OptFile::WalkDataBlock(int32_t parentNode, int32_t type, int64_t q) {
    Spend(kBlockHeaderSize);
    if (sink_.ReportToList) {
        Line() += "   Found DATA BLOCK type ";
        AppendInt(type);
        line_ += " at offset ";
        AppendInt(q);
        sink_.ReportListLine(line_);
    }
    int32_t dataNode = -1;
    if (store_.BuildTree && type != kTypeTexHeader) {
        dataNode = store_.Tree.AddChild(parentNode, "Data block " + NumberText::IntText(type) +
                                                        " at " + NumberText::IntText(q));
        store_.BlockTable.push_back({q, type, store_.CurrentMesh});
        ++store_.BlockCount;
    }
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
            ReadFaceDetails(q);
            if (dataNode >= 0) store_.Tree.SetImage(dataNode, kImageFace);
            break;
        case kTypeHardpoint:
            ReadHardpointBlock(q);
            if (dataNode >= 0) store_.Tree.SetImage(dataNode, kImageHardpoint);
            break;
        case kTypeMeshDescriptor:
            ReadMeshDescriptorBlock(q);
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
}

void OptFile::ListJumpBlock(int64_t p) {
    stream_.SeekOpt(p + 8);
    const int32_t count = stream_.ReadInt32();
    Line() += "  Jump block with ";
    AppendInt(count);
    line_ += " jumps at offset ";
    AppendInt(p);
    Emit();
    ListSlots(p, count);
}

void OptFile::ListSlots(int64_t p, int32_t count) {
    stream_.SeekOpt(p + 12);
    const int64_t table = AdjustOffset(stream_.ReadInt32());
    const int64_t slots = count > 0 ? ElementsInFile(table, count, 4, "jump table") : 0;
    for (int64_t i = 0; i < slots; ++i) {
        stream_.SeekOpt(table + 4 * i);
        const int32_t stored = stream_.ReadInt32();
        Line() += "       Jump pointer ";
        AppendInt(i + 1);
        line_ += " at offset ";
        AppendInt(table + 4 * i);
        if (stored == 0) {
            line_ += " is null";
        } else {
            line_ += " is to offset ";
            AppendInt(AdjustOffset(stored));
        }
        Emit();
    }
}

void OptFile::ShowBlock(const BlockEntry& entry) {
    ResetBudget();
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
            ReadHardpointBlock(p);
            store_.HardpointMarkerShown = true;
            store_.MarkerBoxShown = true;
            break;
        case kTypeMeshDescriptor:
            ReadMeshDescriptorBlock(p);
            store_.MarkerBoxShown = true;
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
            store_.MeshFaceBase = 0;
            ReadFaceBlock(p);
            break;
        default:
            break;
    }
}

}  // namespace vexlor
