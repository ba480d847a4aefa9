// A path for a test's own temporary folder: named after the test and the process, so that two
// build trees testing at the same time never share one.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace vexlor::testing {

inline std::filesystem::path TempFolderFor(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("vexlor-" + name + "-" + std::to_string(getpid()));
}

}  // namespace vexlor::testing
