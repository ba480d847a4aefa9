// The commands' shared pieces.
#include "cli/CliOutput.h"

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "reader/TypeNames.h"

namespace vexlor::cli {

namespace {

std::string ProgramFolder() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return ".";
    const std::string path(buffer.data(), static_cast<size_t>(length));
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

void LoadNames(TypeNameTables& names, const std::string& namesFolder) {
    const std::string programFolder = ProgramFolder();
    const Result load =
        LoadTypeNameTables(names, TypeNameFilePath("Mesh_Type.ace", namesFolder, programFolder),
                           TypeNameFilePath("Hardpoint_Type.ace", namesFolder, programFolder));
    if (!load.Ok())
        std::fprintf(stderr, "vexlor: warning: %s: %s; type names are left empty\n",
                     load.Message().c_str(), load.Reason().c_str());
}

}  // namespace

TypeNameTables ReadTypeNames(const CommandContext& context) {
    TypeNameTables names;
    LoadNames(names, context.NamesFolder);
    return names;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "vexlor: %s\n", message.c_str());
    return kExitFailure;
}

std::string FailureLine(const Result& result) {
    return result.Reason().empty() ? result.Message()
                                   : result.Message() + " (" + result.Reason() + ")";
}

int Fail(const Result& result) {
    return Fail(FailureLine(result));
}

int Fail(const CommandContext& context, const std::string& message) {
    if (context.Failures != nullptr) context.Failures->Add(message);
    return Fail(message);
}

int Fail(const CommandContext& context, const Result& result) {
    return Fail(context, FailureLine(result));
}

std::string FailureJson(const std::string& message, int status) {
    const nlohmann::ordered_json failure = {{"error", message}, {"status", status}};
    return failure.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

int FinishStdout() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return Fail("cannot write to standard output");
    return kExitOk;
}

void PrintLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
}

StdoutOutput::StdoutOutput() {
    // A report runs to hundreds of megabytes: large writes, not a line at a time.
    static char buffer[1 << 20];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
}

void StdoutOutput::Write(const void* data, size_t size) {
    if (std::fwrite(data, 1, size, stdout) != size) failed_ = true;
}

std::unique_ptr<OptDocument> OpenDocument(const CommandContext& context, const std::string& file) {
    auto document = std::make_unique<OptDocument>(context.Numbers);
    LoadNames(document->Names(), context.NamesFolder);
    const Result opened = document->Open(file);
    if (!opened.Ok()) {
        Fail(context, opened);
        return nullptr;
    }
    return document;
}

}  // namespace vexlor::cli
