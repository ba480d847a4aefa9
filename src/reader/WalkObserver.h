// Told what a walk reads, as it reads it: for callers that build a model of their own from one
// walk over a file (the export), so that the walker and its readers stay the only parser. Each
// event comes after the block's reader has run, when the mesh tables hold what the block put
// there; `mesh` and `lod` say where the walk is (the level of detail counts as the walk counts
// it: from 1, one more after each slot of a type-21 block).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BlockRecords.h"
#include "MeshTables.h"

namespace vexlor {

struct WalkPlace {
    int32_t mesh = 0;
    int64_t lod = 1;
};

class WalkObserver {
  public:
    virtual ~WalkObserver() = default;
    // A mesh of the mesh jump table, before its blocks; its root jump block is at `position`.
    virtual void MeshStarted(int32_t /*mesh*/, int64_t /*position*/) {}
    // A level-of-detail block (type 21) before its slots: its lo-res distance per level, those
    // that lie in the file.
    virtual void LodBlockEntered(const WalkPlace& /*place*/, int64_t /*position*/,
                                 const std::vector<float>& /*distances*/) {}
    // A texture header (20) or texture header pointer (7): the texture name it gives, as many of
    // its nine characters as lie in the file.
    virtual void TextureNamed(const WalkPlace& /*place*/, int64_t /*position*/,
                              const std::string& /*name*/) {}
    // A face block: its faces are entries first ... first + count - 1 of tables.FaceTable.
    virtual void FacesRead(const WalkPlace& /*place*/, int64_t /*position*/,
                           const MeshTables& /*tables*/, int64_t /*first*/, int64_t /*count*/) {}
    virtual void HardpointRead(const WalkPlace& /*place*/, int64_t /*position*/,
                               const HardpointRecord& /*hardpoint*/) {}
    virtual void DescriptorRead(const WalkPlace& /*place*/, int64_t /*position*/,
                                const MeshDescriptorRecord& /*descriptor*/) {}
};

}  // namespace vexlor
