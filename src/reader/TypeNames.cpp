// Reading the type-name tables.
#include "reader/TypeNames.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vexlor {

std::vector<std::string> ParseTypeNames(const std::string& bytes, size_t capacity) {
    std::vector<std::string> names;
    size_t end = bytes.find('\x1A');
    if (end == std::string::npos) end = bytes.size();
    size_t i = 0;
    while (i < end && names.size() < capacity) {
        std::string name;
        while (i < end && bytes[i] != '\r')
            name.push_back(bytes[i++]);
        if (i < end) ++i;                      // the CR
        if (i < end && bytes[i] == '\n') ++i;  // an LF right after it
        names.push_back(std::move(name));
    }
    return names;
}

Expected<std::vector<std::string>> ReadTypeNameFile(const std::string& path, size_t capacity) {
    const auto failure = [&](std::string reason) {
        return Result::Failure(path, std::move(reason));
    };
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return failure((errno == ENOENT || errno == ENOTDIR) ? "File not found"
                                                             : std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return failure(std::strerror(EISDIR));
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure(std::strerror(errno != 0 ? errno : EACCES));
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return failure(std::strerror(EIO));
    return ParseTypeNames(bytes, capacity);
}

std::string TypeNameFilePath(const std::string& file, const std::string& namesFolder,
                             const std::string& programFolder) {
    if (!namesFolder.empty()) return namesFolder + "/" + file;
    const std::string local = "data/" + file;
    const std::filesystem::path program(programFolder);
    // The installed layout is prefix/bin beside prefix/share; normalised so that a message about
    // the file names /usr/share/..., not /usr/bin/../share/....
    for (const std::filesystem::path& candidate :
         {std::filesystem::path(local), program / "data" / file,
          (program / ".." / "share" / "optvexlor" / "data" / file).lexically_normal()}) {
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0) return candidate.string();
    }
    return local;
}

const std::string& TypeNameTables::NameOf(const std::vector<std::string>& names, int32_t code) {
    static const std::string kUnknown = "(unknown type)";
    if (code < 0 || static_cast<size_t>(code) >= names.size()) return kUnknown;
    return names[static_cast<size_t>(code)];
}

Result LoadTypeNameTables(TypeNameTables& tables, const std::string& meshTypePath,
                          const std::string& hardpointTypePath) {
    const std::pair<const std::string*, std::vector<std::string>*> files[] = {
        {&meshTypePath, &tables.MeshTypeNames}, {&hardpointTypePath, &tables.HardpointTypeNames}};
    for (const auto& [path, table] : files) {
        Expected<std::vector<std::string>> names = ReadTypeNameFile(*path);
        if (!names.Ok()) return names.Status();
        table->assign(kTypeNameCount, std::string());
        std::move(names->begin(), names->end(), table->begin());
    }
    return {};
}

}  // namespace vexlor
