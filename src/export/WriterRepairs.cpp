// Mends to OBJ, glTF, X3D and ASCII FBX files after assimp wrote them.
#include "export/WriterRepairs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

#include "reader/OptStream.h"

namespace vexlor::detail {

namespace {

std::string_view LineAt(const std::vector<uint8_t>& bytes, size_t begin, size_t& next) {
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const void* newline = std::memchr(data + begin, '\n', bytes.size() - begin);
    const size_t end =
        newline ? static_cast<size_t>(static_cast<const char*>(newline) - data) + 1 : bytes.size();
    next = end;
    return {data + begin, end - begin};
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Reads `size` bytes at `offset` of an open file, or writes them.
bool Transfer(std::FILE* file, uint64_t offset, void* data, size_t size, bool write) {
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    return write ? std::fwrite(data, 1, size, file) == size
                 : std::fread(data, 1, size, file) == size;
}

uint32_t Little32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

Result CannotWrite(const std::string& path, int error) {
    return Result::Failure("Cannot write file " + path, std::strerror(error));
}

// Closes a file that was read or written; a failure when `ok` is false or the close fails.
// `error` is errno as the last transfer left it.
Result Close(std::FILE* file, const std::string& path, bool ok, int error) {
    const bool closed = std::fclose(file) == 0;
    if (ok && closed) return {};
    return CannotWrite(path, error != 0 ? error : (errno != 0 ? errno : EIO));
}

// Writes the file again, line by line, as `mend` copies each line to the output.
Result RewriteLines(const std::string& path,
                    const std::function<void(std::string_view, std::vector<uint8_t>&)>& mend) {
    const Expected<std::vector<uint8_t>> read = ReadFileBytes(path);
    if (!read.Ok()) return read.Status();
    const std::vector<uint8_t>& bytes = read.Value();
    std::vector<uint8_t> out;
    out.reserve(bytes.size() + bytes.size() / 64);
    for (size_t at = 0, next = 0; at < bytes.size(); at = next)
        mend(LineAt(bytes, at, next), out);
    return WriteFileBytes(path, out);
}

}  // namespace

Result WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return CannotWrite(path, errno);
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return Close(out, path, written, errno);
}

Result AddObjObjects(const std::string& path,
                     const std::map<std::string, std::string>& objectOfGroup) {
    const std::string* current = nullptr;
    return RewriteLines(path, [&](std::string_view line, std::vector<uint8_t>& out) {
        if (line.substr(0, 2) == "g ") {
            const auto found = objectOfGroup.find(std::string(Trimmed(line.substr(2))));
            if (found != objectOfGroup.end() && (current == nullptr || *current != found->second)) {
                current = &found->second;
                const std::string object = "o " + *current + "\n";
                out.insert(out.end(), object.begin(), object.end());
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    });
}

bool BlankUnusedExtension(std::string& json, const std::string& extension) {
    const size_t key = json.find("\"extensionsUsed\"");
    if (key == std::string::npos) return false;
    const size_t open = json.find('[', key);
    const size_t close = open == std::string::npos ? open : json.find(']', open);
    if (close == std::string::npos) return false;
    const std::string quoted = "\"" + extension + "\"";
    const size_t name = json.find(quoted, open);
    if (name == std::string::npos || name > close) return false;
    if (json.find(quoted) != name || json.find(quoted, name + 1) != std::string::npos)
        return false;  // used somewhere
    const auto blank = [&](size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i)
            if (json[i] != '\n') json[i] = ' ';
    };
    const auto after = [&](size_t at) { return json.find_first_not_of(" \t\r\n", at); };
    const auto before = [&](size_t at) { return json.find_last_not_of(" \t\r\n", at - 1); };
    const size_t end = name + quoted.size();
    if (json[after(end)] == ',') {
        blank(name, after(end) + 1);  // with the comma after it
    } else if (json[before(name)] == ',') {
        blank(before(name), end);  // the last: with the comma before it
    } else {
        // Alone: an empty list is not allowed, so the whole member goes, with a comma beside it.
        size_t begin = key, stop = close + 1;
        if (json[after(stop)] == ',')
            stop = after(stop) + 1;
        else if (json[before(begin)] == ',')
            begin = before(begin);
        blank(begin, stop);
    }
    return true;
}

Result DropUnusedGltfExtensions(const std::string& path, bool binary) {
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr) return CannotWrite(path, errno);
    errno = 0;
    uint64_t offset = 0;
    size_t size = 0;
    bool ok = true;
    ok = fseeko(file, 0, SEEK_END) == 0;
    const off_t end = ok ? ftello(file) : -1;
    ok = end >= 0;
    size = ok ? static_cast<size_t>(end) : 0;
    if (ok && binary) {
        uint8_t header[20];  // GLB header and the JSON chunk's header
        ok = size >= sizeof header && Transfer(file, 0, header, sizeof header, false);
        const size_t chunk = ok ? Little32(header + 12) : 0;
        ok = ok && chunk <= size - sizeof header;
        size = chunk;
        offset = sizeof header;
    }
    std::string json(size, '\0');
    ok = ok && Transfer(file, offset, json.data(), json.size(), false);
    if (ok && BlankUnusedExtension(json, "KHR_materials_volume"))
        ok = Transfer(file, offset, json.data(), json.size(), true);
    return Close(file, path, ok, errno);
}

Result DropEmptyImageTextures(const std::string& path) {
    return RewriteLines(path, [](std::string_view line, std::vector<uint8_t>& out) {
        if (Trimmed(line) != "<ImageTexture/>") out.insert(out.end(), line.begin(), line.end());
    });
}

Result JoinFbxPropertyValues(const std::string& path) {
    return RewriteLines(path, [](std::string_view line, std::vector<uint8_t>& out) {
        const size_t property = line.find_first_not_of(" \t");
        if (property == std::string_view::npos || line.substr(property, 3) != "P: ") {
            out.insert(out.end(), line.begin(), line.end());
            return;
        }
        // Past the four quoted fields, a space between a comma and a number goes.
        int quotes = 0;
        bool quoted = false;
        for (size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"') {
                quoted = !quoted;
                ++quotes;
            }
            const bool number = i + 1 < line.size() && line[i + 1] != '"';
            if (c == ' ' && !quoted && quotes >= 8 && line[i - 1] == ',' && number) continue;
            out.push_back(static_cast<uint8_t>(c));
        }
    });
}

}  // namespace vexlor::detail
