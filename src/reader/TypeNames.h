// The two type-name tables (mesh types, hardpoint types): text files with one name per line,
// line i naming type code i.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/Result.h"

namespace vexlor {

inline constexpr size_t kTypeNameCount = 51;  // type codes 0 ... 50

// The names the report prints for mesh type codes and hardpoint type codes: entry i names code i.
struct TypeNameTables {
    std::vector<std::string> MeshTypeNames = std::vector<std::string>(kTypeNameCount);
    std::vector<std::string> HardpointTypeNames = std::vector<std::string>(kTypeNameCount);

    // The name of a code, or "(unknown type)" for a code the table has no entry for.
    static const std::string& NameOf(const std::vector<std::string>& names, int32_t code);
};

// Splits a type-name file's bytes into names. A CR ends a line and an LF right after it is
// skipped; an LF without a CR belongs to the line; a Ctrl-Z (0x1A) ends the file. A last line
// ended by CR LF adds no further entry. At most `capacity` names are kept; further lines are
// ignored.
std::vector<std::string> ParseTypeNames(const std::string& bytes, size_t capacity = kTypeNameCount);

// The names of a type-name file. A failure's message is the file's path, its reason "File not
// found" for a missing file, else the system's reason.
Expected<std::vector<std::string>> ReadTypeNameFile(const std::string& path,
                                                    size_t capacity = kTypeNameCount);

// Fills MeshTypeNames and then HardpointTypeNames from the two files. A file that cannot be read
// stops the loading there: a missing mesh-type file leaves both tables empty, a missing
// hardpoint-type file leaves the hardpoint table empty.
// Where a type-name file is read from: `namesFolder`/file when a folder is given; else the first
// of these that is there: data/file in the working directory, data/file in `programFolder` (a
// build tree), ../share/optvexlor/data/file from `programFolder` (an installed program); else the
// working directory's path again, so that the error names the usual place.
std::string TypeNameFilePath(const std::string& file, const std::string& namesFolder,
                             const std::string& programFolder);

// A failure names the file that could not be read as ReadTypeNameFile does.
Result LoadTypeNameTables(TypeNameTables& tables, const std::string& meshTypePath,
                          const std::string& hardpointTypePath);

}  // namespace vexlor
