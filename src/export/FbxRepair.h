// Repair of the binary FBX files that assimp 5.2.4 and 5.2.5 (Debian 12's) write: their writer
// leaves out the 25-byte null record that must close every nested list of an FBX 7.5 node (the
// record is a char array that becomes an empty string on its way out; fixed upstream after 5.2.5).
// Such a file has every node's end offset right, but no reader accepts it: assimp's own importer
// stops with "block offset is out of range", and so do the others that check the records.
//
// The repair walks the node tree by the end offsets, writes it again with a null record after
// every nested list and the end offsets moved to match, and writes the footer again as assimp
// writes it (its alignment depends on the file size). A file that already has its null records,
// or that is not a 64-bit binary FBX (version 7500 or later), is left as it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/Result.h"

namespace vexlor::detail {

enum class FbxRepairResult {
    NotNeeded,  // the records are there, or the file is not a binary FBX 7.5
    Repaired,
    Malformed,  // the node tree does not hold together: left as it was
};

FbxRepairResult RepairFbxNullRecords(std::vector<uint8_t>& bytes);

// The same on a file; a failure when the file cannot be read or written back.
Expected<FbxRepairResult> RepairFbxFile(const std::string& path);

}  // namespace vexlor::detail
