// The text report, written from what a walk reads: one observer of the walk, turning its typed
// records into the report's lines in its fixed format, through a ReportSink (the list, the file,
// or both). For a whole walk (Save ASCII) it writes every block with the face detail pass; for a
// block display, the block's lines as the display shows them. Asked to, it notes which record
// each of its lines shows.
#pragma once

#include <string>
#include <string_view>

#include "reader/FaceCorners.h"
#include "reader/ReportLineMap.h"
#include "reader/ReportSink.h"
#include "reader/TypeNames.h"
#include "reader/WalkObserver.h"

namespace vexlor {

class ReportWriter : public WalkObserver {
  public:
    enum class Mode { kWalk, kBlockDisplay };

    // With `lines`, the records its lines show are noted there.
    ReportWriter(ReportSink& sink, const TypeNameTables& names, Mode mode,
                 ReportLineMap* lines = nullptr)
        : sink_(sink), names_(names), mode_(mode), map_(lines) {}

    bool WantsProblems() const override { return true; }
    void Problem(const WalkProblem& problem) override { sink_.ReportLine(problem.Text); }

    void FileHeaderRead(const FileHeaderRecord& header) override;
    void MeshTableRead(const FileHeaderRecord& header) override;
    void MeshStarted(int32_t mesh, int64_t position) override;
    void JumpBlockEntered(const BlockHeader& header) override;
    void EmptySlot(const SlotRecord& slot) override;
    void JumpChildFound(int32_t type, int64_t position) override;
    void DataBlockFound(int32_t type, int64_t position) override;

    void BlockStarted(const BlockHeader& header) override;
    void CountRead(const BlockHeader& header) override;
    void VerticesRead(const WalkPlace& place, const BlockHeader& header,
                      std::span<const Vec3> vertices) override;
    void VertexNormalsRead(const WalkPlace& place, const BlockHeader& header,
                           std::span<const Vec3> normals) override;
    void TextureVerticesRead(const WalkPlace& place, const BlockHeader& header,
                             std::span<const TextureVertex> vertices) override;
    void FacesRead(const WalkPlace& place, int64_t position, const MeshTables& tables,
                   int64_t first, int64_t count) override;
    void HardpointRead(const WalkPlace& place, int64_t position,
                       const HardpointRecord& hardpoint) override;
    void DescriptorRead(const WalkPlace& place, int64_t position,
                        const MeshDescriptorRecord& descriptor) override;
    void TextureNamed(const WalkPlace& place, int64_t position, const std::string& name) override;

    void JumpBlockListed(const BlockHeader& header) override;
    void LodBlockListed(const BlockHeader& header) override;
    void SlotListed(const SlotRecord& slot) override;
    void LevelsCounted(const BlockHeader& header) override;
    void LevelListed(const LevelRecord& level) override;

  private:
    void FaceLines(const MeshTables& tables, int64_t face);
    void FaceDetailLines(const WalkPlace& place, const MeshTables& tables, int64_t face);
    void CornerLines(const MeshTables& tables, int64_t face, CornerTable table);
    void Vec3Lines(std::span<const Vec3> table, std::string_view before, std::string_view after);
    void DescriptorVector(std::string_view label, const Vec3& v);
    // "caption" and the three numbers.
    void VectorLine(std::string_view caption, const Vec3& v);
    // "caption" code " : " and the type's name.
    void TypeLine(std::string_view caption, int32_t code, const std::vector<std::string>& names);
    // Notes that the lines from `firstLine` on show `records` records of `region` of the block
    // being reported, from record `first`.
    void Note(int64_t firstLine, int32_t region, int64_t first, int64_t records,
              std::span<const LineShows> lines = {}, int64_t linesPerRecord = 1);
    void NoteBlock(int64_t block, int32_t type) {
        noted_.Block = block;
        noted_.Type = type;
    }

    // Line building in a reused buffer.
    std::string& Line() {
        line_.clear();
        return line_;
    }
    void Emit() { sink_.ReportLine(line_); }
    void Emit(std::string_view text) { sink_.ReportLine(text); }
    // A line of texts and integers, one after the other.
    template <typename... Parts>
    void Say(const Parts&... parts) {
        Line();
        (Append(parts), ...);
        Emit();
    }
    void Append(std::string_view text) { line_ += text; }
    void Append(int64_t n) { AppendInt(n); }
    void AppendInt(int64_t n);
    void AppendFloat(float x) { sink_.Numbers().AppendFloat(line_, x); }
    void AppendFloats(const Vec3& v);
    void AppendIndices(const std::array<int32_t, 4>& v);

    ReportSink& sink_;
    const TypeNameTables& names_;
    Mode mode_;
    ReportLineMap* map_;
    RecordRef noted_;    // the block whose lines are noted
    BlockHeader block_;  // the data block being reported
    std::string line_;
};

}  // namespace vexlor
