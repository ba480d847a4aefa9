// A check of the zip archives that assimp's 3MF writer makes. That writer goes straight to the
// file system through its zip library, around the IOSystem that catches failed writes, and the
// library drops the errors: on a full disk it closes an archive that lacks the model. The check
// reads the archive's directory and wants each named entry in it, whole within the file.
#pragma once

#include <string>
#include <vector>

namespace vexlor::detail {

// True when `path` is a zip archive whose directory lies in the file and holds every entry of
// `required` (names compared without regard to case), each with its local header and data
// inside the file. `reason` says what is wrong.
bool ZipHoldsEntries(const std::string& path, const std::vector<std::string>& required,
                     std::string& reason);

}  // namespace vexlor::detail
