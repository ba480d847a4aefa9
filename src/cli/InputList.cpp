// Turning command-line arguments into the list of files to read, and naming their outputs.
#include "cli/InputList.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace vexlor::cli {

namespace fs = std::filesystem;

namespace {

std::string Reason(const std::error_code& error) {
    std::string text = error.message();
    return text.empty() ? "unknown error" : text;
}

bool IsFolderArgument(const std::string& argument) {
    std::error_code error;
    if (!fs::is_directory(argument, error)) return false;
    return argument.ends_with('/') || !HasOptEnding(argument);
}

// Appends the OPT files of `folder` (and of the folders below, when `recursive`) to `found`, with
// their paths below `top`; a folder that cannot be read becomes an entry with its error.
void Collect(const fs::path& top, const fs::path& relative, bool recursive,
             std::vector<Input>& found) {
    const fs::path folder = relative.empty() ? top : top / relative;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    const fs::directory_iterator end;
    for (; !error && entries != end; entries.increment(error)) {
        const fs::directory_entry& entry = *entries;
        const fs::path name = entry.path().filename();
        const fs::path below = relative.empty() ? name : relative / name;
        std::error_code kindError;
        // A real folder is looked into; a link to one is not (links could make a loop).
        if (entry.symlink_status(kindError).type() == fs::file_type::directory) {
            if (recursive) Collect(top, below, recursive, found);
            continue;
        }
        if (!HasOptEnding(name.string()) || entry.is_directory(kindError)) continue;
        found.push_back({entry.path().string(), below.string(), {}});
    }
    if (error)
        found.push_back({folder.string(), relative.string(),
                         "Cannot read folder " + folder.string() + " (" + Reason(error) + ")"});
}

}  // namespace

bool HasOptEnding(std::string_view name) {
    while (name.ends_with('/'))
        name.remove_suffix(1);
    if (name.size() < 4) return false;
    const std::string_view ending = name.substr(name.size() - 4);
    return ending[0] == '.' && (ending[1] | 0x20) == 'o' && (ending[2] | 0x20) == 'p' &&
           (ending[3] | 0x20) == 't';
}

Expected<InputList> ListInputs(const std::vector<std::string>& arguments, bool recursive) {
    InputList list;
    list.Several =
        arguments.size() > 1 || (arguments.size() == 1 && IsFolderArgument(arguments[0]));
    for (const std::string& argument : arguments) {
        if (list.Several && IsFolderArgument(argument)) {
            std::vector<Input> found;
            Collect(argument, {}, recursive, found);
            std::sort(found.begin(), found.end(),
                      [](const Input& a, const Input& b) { return a.Relative < b.Relative; });
            list.Files.insert(list.Files.end(), found.begin(), found.end());
            continue;
        }
        std::error_code error;
        if (list.Several && !fs::exists(fs::symlink_status(argument, error))) {
            list.Files.clear();
            return {Result::Failure("no such file or folder: " + argument), std::move(list)};
        }
        list.Files.push_back({argument, fs::path(argument).filename().string(), {}});
    }
    return list;
}

Expected<std::vector<std::string>> PlanOutputs(const std::vector<Input>& inputs,
                                               const std::string& folder,
                                               const std::string& extension) {
    std::vector<std::string> paths;
    std::map<std::string, const Input*> writers;
    for (const Input& input : inputs) {
        if (!input.Error.empty()) {
            paths.emplace_back();
            continue;
        }
        std::string name = input.Relative;
        if (HasOptEnding(name)) name.resize(name.size() - 4);
        const std::string path = (fs::path(folder) / (name + extension)).string();
        const auto [at, added] = writers.emplace(path, &input);
        if (!added)
            return Result::Failure(at->second->Path + " and " + input.Path + " would both write " +
                                   path);
        paths.push_back(path);
    }
    return paths;
}

}  // namespace vexlor::cli
