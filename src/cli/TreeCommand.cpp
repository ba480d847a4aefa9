// `vexlor tree FILE... [-o OUT]`: the structure tree, one node per line.
#include <cstring>

#include "cli/CliOutput.h"
#include "cli/FileCommand.h"

namespace vexlor::cli {

namespace {

class TreeCommand : public FileCommand {
  public:
    std::string Name() const override { return "tree"; }
    std::string Summary() const override {
        return "the structure tree, one node per line: index, depth, image, block offset, type, "
               "mesh, label (TAB separated)";
    }

  protected:
    std::string OutputHelp() const override {
        return "write the tree to OUT; with several files OUT is a folder that gets "
               "NAME.tree.txt for each NAME.opt";
    }
    std::string OutputEnding() const override { return ".tree.txt"; }
    int RunFile(FileJob& job) const override {
        const auto document = job.Open();
        if (!document) return kExitFailure;
        const OptModel& model = document->Model();
        std::string line;
        for (int32_t k = 0; k < model.Tree.Count(); ++k) {
            const TreeNode& node = model.Tree.Node(k);
            const BlockEntry& entry = model.BlockTable[static_cast<size_t>(k)];
            line.clear();
            for (const int64_t field : {int64_t{k}, int64_t{node.Depth}, int64_t{node.ImageIndex},
                                        entry.Offset, int64_t{entry.Type}, int64_t{entry.Mesh}}) {
                NumberText::AppendInt(line, field);
                line += '\t';
            }
            // The label as a C string: it ends at its first NUL byte, if it has one.
            line.append(node.Label.c_str(), std::strlen(node.Label.c_str()));
            line += '\n';
            job.Print(line);
        }
        return job.Finish();
    }
};

}  // namespace

std::unique_ptr<Command> MakeTreeCommand() {
    return std::make_unique<TreeCommand>();
}

}  // namespace vexlor::cli
