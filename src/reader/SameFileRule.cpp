// An output that is one of its inputs is refused (see SameFileRule.h).
#include "reader/SameFileRule.h"

#include <sys/stat.h>

#include <filesystem>

namespace vexlor {

namespace {

// Where a path leads, links and "." and ".." resolved as far as the path exists.
std::string PlaceOf(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::weakly_canonical(path, ignored).lexically_normal().string();
}

}  // namespace

InputFiles::InputFiles(const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        struct stat info {};
        if (stat(input.c_str(), &info) == 0)
            found_.emplace(std::make_pair(info.st_dev, info.st_ino), input);
        else
            missing_.emplace_back(input, PlaceOf(input));
    }
}

Result InputFiles::Admit(const std::string& output) const {
    const auto refused = [&](const std::string& input) {
        return Result::Failure("Cannot write " + output + ": it is the same file as the input " +
                               input);
    };
    struct stat info {};
    if (stat(output.c_str(), &info) == 0) {
        const auto same = found_.find(std::make_pair(info.st_dev, info.st_ino));
        if (same != found_.end()) return refused(same->second);
    }
    if (!missing_.empty()) {
        const std::string place = PlaceOf(output);
        for (const auto& [input, inputPlace] : missing_)
            if (inputPlace == place) return refused(input);
    }
    return {};
}

Result RefuseSameFile(const std::string& input, const std::string& output) {
    return InputFiles({input}).Admit(output);
}

}  // namespace vexlor
