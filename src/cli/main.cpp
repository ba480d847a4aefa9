// vexlor: the command-line face of the OPT reader, for batch work and for testing the reader
// without a window. Its output formats are a contract that other tools rely on.
#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConsistencyCheck.h"
#include "OptDocument.h"
#include "TypeNames.h"
#include "Version.h"

namespace {

using vexlor::OptDocument;

constexpr int kExitOk = 0;
constexpr int kExitFindings = 1;  // check: the run ended with "errors were detected!!"
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "usage: vexlor [--names DIR] COMMAND ...\n"
    "\n"
    "Inspect OPT model files.\n"
    "\n"
    "commands:\n"
    "  report FILE [-o OUT]   the full text report (as Save ASCII writes it), CR LF lines;\n"
    "                         to standard output unless OUT is given\n"
    "  prj FILE -o OUT        the faces as a PRJ file, written to OUT as given\n"
    "  tree FILE              the structure tree, one node per line: index, depth, image,\n"
    "                         block offset, type, mesh, label (TAB separated)\n"
    "  block FILE INDEX       the report of tree node INDEX, as the block display shows it\n"
    "  check FILE [--vn whole|mesh|none]\n"
    "                         the consistency check's report lines; --vn chooses how vertex\n"
    "                         normals are checked: across the whole model (default), mesh by\n"
    "                         mesh, or not at all. Exit status 0 for \"All OK!!\", 1 when\n"
    "                         errors were detected\n"
    "\n"
    "options:\n"
    "  --names DIR            read Mesh_Type.ace and Hardpoint_Type.ace from DIR\n"
    "                         (default: data/ in the working directory, else data/ beside\n"
    "                         the program)\n"
    "  --help                 show this text\n"
    "  --version              show the version\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "vexlor: %s\n", message.c_str());
    return kExitUsage;
}

int Fail(const vexlor::OperationResult& result) {
    return Fail(result.reason.empty() ? result.message
                                      : result.message + " (" + result.reason + ")");
}

std::string ProgramFolder() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return ".";
    std::string path(buffer.data(), static_cast<size_t>(length));
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

void LoadNames(OptDocument& document, const std::string& namesDir) {
    const vexlor::TypeNameLoad load = vexlor::LoadTypeNameTables(
        document.Store(), vexlor::TypeNameFilePath("Mesh_Type.ace", namesDir, ProgramFolder()),
        vexlor::TypeNameFilePath("Hardpoint_Type.ace", namesDir, ProgramFolder()));
    if (!load.ok)
        std::fprintf(stderr, "vexlor: warning: %s: %s; type names are left empty\n",
                     load.failedPath.c_str(), load.error.c_str());
}

// Byte output to standard output, for the report.
class StdoutOutput : public vexlor::ByteOutput {
  public:
    void Write(const void* data, size_t size) override {
        if (std::fwrite(data, 1, size, stdout) != size) failed_ = true;
    }
    void WriteAt(int64_t, const void*, size_t) override { failed_ = true; }
    bool Failed() const override { return failed_; }

  private:
    bool failed_ = false;
};

int FinishStdout() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return Fail("cannot write to standard output");
    return kExitOk;
}

int Report(OptDocument& document, const std::string& file, const std::string& out) {
    const std::string caption = "OPTvexlor - " + file;
    if (!out.empty()) {
        const vexlor::OperationResult saved = document.SaveAscii(out, caption);
        return saved.ok ? kExitOk : Fail(saved);
    }
    static char buffer[1 << 20];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    StdoutOutput bytes;
    vexlor::CrLfLineOutput lines(bytes);
    document.WriteReport(lines, caption);
    return FinishStdout();
}

int Tree(const OptDocument& document) {
    const vexlor::ModelStore& store = document.Store();
    for (int32_t k = 0; k < store.Tree.Count(); ++k) {
        const vexlor::TreeNode& node = store.Tree.Node(k);
        const vexlor::BlockEntry& entry = store.BlockTable[static_cast<size_t>(k)];
        std::printf("%d\t%d\t%d\t%lld\t%d\t%d\t%s\n", k, node.Depth, node.ImageIndex,
                    static_cast<long long>(entry.Offset), entry.Type, entry.Mesh,
                    node.Label.c_str());
    }
    return FinishStdout();
}

void PrintList(const OptDocument& document) {
    for (const std::string& line : document.Sink().List()) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
}

bool ParseVertexNormalMode(const std::string& text, vexlor::VertexNormalCheck& mode) {
    using vexlor::VertexNormalCheck;
    if (text == "whole")
        mode = VertexNormalCheck::WholeModel;
    else if (text == "mesh")
        mode = VertexNormalCheck::MeshByMesh;
    else if (text == "none")
        mode = VertexNormalCheck::None;
    else
        return false;
    return true;
}

int Check(OptDocument& document, vexlor::VertexNormalCheck mode) {
    const vexlor::CheckOutcome outcome = vexlor::CheckOPT(document, mode);
    PrintList(document);
    const int written = FinishStdout();
    if (written != kExitOk) return written;
    return outcome.allOk ? kExitOk : kExitFindings;
}

int Block(OptDocument& document, const std::string& indexText) {
    int32_t index = -1;
    const char* end = indexText.data() + indexText.size();
    const auto parsed = std::from_chars(indexText.data(), end, index);
    if (parsed.ec != std::errc() || parsed.ptr != end || !document.DisplayBlock(index))
        return Fail("no tree node " + indexText + " (the tree has " +
                    std::to_string(document.Store().Tree.Count()) + " nodes)");
    PrintList(document);
    return FinishStdout();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    std::string namesDir;
    std::string out;
    std::optional<std::string> vertexNormals;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage.data(), stdout);
            return FinishStdout();
        }
        if (arg == "--version") {
            std::puts("vexlor " VEXLOR_VERSION);
            return FinishStdout();
        }
        if (arg == "--names" || arg == "-o" || arg == "--vn") {
            if (i + 1 >= argc) return Fail(arg + " needs a value (see vexlor --help)");
            const std::string value = argv[++i];
            if (arg == "--vn")
                vertexNormals = value;
            else
                (arg == "-o" ? out : namesDir) = value;
            continue;
        }
        args.push_back(arg);
    }
    if (args.empty()) return Fail("no command given (see vexlor --help)");

    const std::string& command = args[0];
    const size_t wanted = command == "block" ? 3 : 2;
    const bool known = command == "report" || command == "prj" || command == "tree" ||
                       command == "block" || command == "check";
    if (!known) return Fail("unknown command '" + command + "' (see vexlor --help)");
    if (args.size() != wanted)
        return Fail("wrong number of arguments for " + command + " (see vexlor --help)");
    if (command == "prj" && out.empty()) return Fail("prj needs -o OUT");
    if (!out.empty() && command != "prj" && command != "report")
        return Fail("-o is only for report and prj");
    vexlor::VertexNormalCheck mode = vexlor::VertexNormalCheck::WholeModel;
    if (vertexNormals && command != "check") return Fail("--vn is only for check");
    if (vertexNormals && !ParseVertexNormalMode(*vertexNormals, mode))
        return Fail("--vn must be whole, mesh or none");

    OptDocument document(vexlor::NumberText(vexlor::DecimalSeparatorFromEnvironment()));
    LoadNames(document, namesDir);
    const std::string& file = args[1];
    const vexlor::OperationResult opened = document.Open(file);
    if (!opened.ok) return Fail(opened);

    if (command == "report") return Report(document, file, out);
    if (command == "tree") return Tree(document);
    if (command == "block") return Block(document, args[2]);
    if (command == "check") return Check(document, mode);
    const vexlor::OperationResult saved = document.SavePrj(out);
    return saved.ok ? kExitOk : Fail(saved);
}
