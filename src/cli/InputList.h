// The inputs of a command that reads OPT files: the files and folders named on its command line
// turned into the files to read, in order, and the name of each one's output in an output folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reader/Result.h"

namespace vexlor::cli {

struct Input {
    std::string Path;  // what is opened: as given, or a folder argument joined with a name in it
    std::string
        Relative;       // the path below its folder argument; the file's name for a file argument
    std::string Error;  // set for a folder that could not be read (Path names the folder)
};

struct InputList {
    std::vector<Input> Files;
    // More than one argument, or a folder: each file's output is kept apart (see FileCommand).
    bool Several = false;
};

// Whether a name ends in ".opt", in any letter case.
bool HasOptEnding(std::string_view name);

// An argument is a folder to look into when it is a folder and either ends in '/' or its name does
// not end in ".opt" (a folder named like a model stays a file that cannot be opened, as it always
// was). A folder gives the files in it whose names end in ".opt" in any letter case, sorted by
// their path below it (bytewise); with `recursive` also those of the folders below, not following
// symbolic links to folders. Every other argument is a file, taken as given. With several inputs,
// an argument that names nothing is a failure, found before anything is read; it keeps whether
// there were several inputs, and no files.
Expected<InputList> ListInputs(const std::vector<std::string>& arguments, bool recursive);

// Where each input's output goes in `folder`: its path below its folder argument (its name, for a
// file argument) with a final ".opt" (any letter case) replaced by `extension`, e.g. "ship.opt" ->
// "FOLDER/ship.txt", "mods/big/ship.opt" found in "mods" -> "FOLDER/big/ship.txt". One path per
// input, empty for an input that is an error; a failure when two inputs would write one file.
Expected<std::vector<std::string>> PlanOutputs(const std::vector<Input>& inputs,
                                               const std::string& folder,
                                               const std::string& extension);

}  // namespace vexlor::cli
