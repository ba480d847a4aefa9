// The 3MF writer. assimp 5.2's own writes every colour black, 6 significant digits of each
// coordinate and always millimetres; this one writes the scene as SceneBuilder builds it for 3MF
// (triangles, no hardpoint nodes): one object per level node ("mesh 0 LOD 1"), its triangles
// carrying their material from one base material group (name and colour), every coordinate with
// the digits that give back the same 32-bit float, and the unit the numbers are in.
#pragma once

#include <cstdint>
#include <string>

#include "reader/Result.h"

struct aiScene;

namespace Assimp {
class IOSystem;
}

namespace vexlor::detail {

// Writes `scene` to `path` through `files`; `unit` is one of 3MF's unit names. A triangle with a
// vertex twice (a face whose corners meet) is left out, as 3MF wants three different vertices:
// the value counts them. A failure's reason says why the archive could not be written.
Expected<int64_t> WriteThreeMf(const aiScene& scene, Assimp::IOSystem& files,
                               const std::string& path, const std::string& unit);

}  // namespace vexlor::detail
