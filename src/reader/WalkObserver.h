// What a walk reads, told as it reads it, in typed records: the walker and its readers are the
// only parser, and everything a walk produces besides the tree is made by an observer of it. The
// text report (ReportWriter), the draw tables, the problems and the PRJ file (WalkConsumers.h),
// the export's model and the check's counts are observers.
//
// Events come in walk order, each once its records are read: a block's header before the
// problems found in it, its records after them, so an observer that writes lines writes them in
// the report's order. The faces of a face block are entries of the mesh tables (their places in
// the file in FaceOrigins); `place` says where the walk is (the level of detail counts as the
// walk counts it: from 1, one more after each slot of a type-21 block). One virtual call per
// block and observer, none per record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "reader/BlockRecords.h"
#include "reader/MeshTables.h"
#include "reader/WalkProblems.h"

namespace vexlor {

struct WalkPlace {
    int32_t Mesh = 0;
    int64_t Lod = 1;
};

class WalkObserver {
  public:
    virtual ~WalkObserver() = default;

    // Whether problems are wanted: the walker spells their lines out only for observers that do.
    virtual bool WantsProblems() const { return false; }
    // A "!!" line: something wrong with the file, where the walk found it.
    virtual void Problem(const WalkProblem& /*problem*/) {}

    // The file header, then its mesh jump table.
    virtual void FileHeaderRead(const FileHeaderRecord& /*header*/) {}
    virtual void MeshTableRead(const FileHeaderRecord& /*header*/) {}
    // A mesh of the mesh jump table, before its blocks; its root jump block is at `position`.
    virtual void MeshStarted(int32_t /*mesh*/, int64_t /*position*/) {}

    // A jump block with slots, before them.
    virtual void JumpBlockEntered(const BlockHeader& /*header*/) {}
    // A level-of-detail block (type 21) before its slots: its lo-res distance per level, those
    // that lie in the file.
    virtual void LodBlockEntered(const WalkPlace& /*place*/, int64_t /*position*/,
                                 const std::vector<float>& /*distances*/) {}
    // An empty slot of the jump block being walked.
    virtual void EmptySlot(const SlotRecord& /*slot*/) {}
    // A slot's child that is walked as a jump block (also a texture header).
    virtual void JumpChildFound(int32_t /*type*/, int64_t /*position*/) {}
    // A slot's child that is read as a data block (also a texture header, after its children).
    virtual void DataBlockFound(int32_t /*type*/, int64_t /*position*/) {}

    // A data block: its header, then (for blocks with a count) what the header's count says.
    virtual void BlockStarted(const BlockHeader& /*header*/) {}
    virtual void CountRead(const BlockHeader& /*header*/) {}
    // The records of a block, read from its payload as far as the file holds them.
    virtual void VerticesRead(const WalkPlace& /*place*/, const BlockHeader& /*header*/,
                              std::span<const Vec3> /*vertices*/) {}
    virtual void VertexNormalsRead(const WalkPlace& /*place*/, const BlockHeader& /*header*/,
                                   std::span<const Vec3> /*normals*/) {}
    virtual void TextureVerticesRead(const WalkPlace& /*place*/, const BlockHeader& /*header*/,
                                     std::span<const TextureVertex> /*vertices*/) {}
    // A face block: its faces are entries first ... first + count - 1 of tables.FaceTable.
    virtual void FacesRead(const WalkPlace& /*place*/, int64_t /*position*/,
                           const MeshTables& /*tables*/, int64_t /*first*/, int64_t /*count*/) {}
    virtual void HardpointRead(const WalkPlace& /*place*/, int64_t /*position*/,
                               const HardpointRecord& /*hardpoint*/) {}
    virtual void DescriptorRead(const WalkPlace& /*place*/, int64_t /*position*/,
                                const MeshDescriptorRecord& /*descriptor*/) {}
    // A texture header (20) or texture header pointer (7): the texture name it gives, as many of
    // its nine characters as lie in the file.
    virtual void TextureNamed(const WalkPlace& /*place*/, int64_t /*position*/,
                              const std::string& /*name*/) {}

    // What only the block display shows: a jump block's slots, a level-of-detail block's slots
    // and distances.
    virtual void JumpBlockListed(const BlockHeader& /*header*/) {}
    virtual void LodBlockListed(const BlockHeader& /*header*/) {}
    virtual void SlotListed(const SlotRecord& /*slot*/) {}
    virtual void LevelsCounted(const BlockHeader& /*header*/) {}
    virtual void LevelListed(const LevelRecord& /*level*/) {}
};

}  // namespace vexlor
