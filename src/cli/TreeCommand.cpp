// `vexlor tree FILE`: the structure tree, one node per line.
#include "CliOutput.h"

namespace vexlor::cli {

namespace {

class TreeCommand : public Command {
  public:
    std::string Name() const override { return "tree"; }
    std::string Summary() const override {
        return "the structure tree, one node per line: index, depth, image, block offset, type, "
               "mesh, label (TAB separated)";
    }
    void Define(CLI::App& command) override {
        command.add_option("FILE", file_, "the OPT file")->required();
    }
    int Run(const CommandContext& context) override {
        const auto document = OpenDocument(context, file_);
        if (!document) return kExitFailure;
        const OptModel& model = document->Model();
        for (int32_t k = 0; k < model.Tree.Count(); ++k) {
            const TreeNode& node = model.Tree.Node(k);
            const BlockEntry& entry = model.BlockTable[static_cast<size_t>(k)];
            std::printf("%d\t%d\t%d\t%lld\t%d\t%d\t%s\n", k, node.Depth, node.ImageIndex,
                        static_cast<long long>(entry.Offset), entry.Type, entry.Mesh,
                        node.Label.c_str());
        }
        return FinishStdout();
    }

  private:
    std::string file_;
};

}  // namespace

std::unique_ptr<Command> MakeTreeCommand() {
    return std::make_unique<TreeCommand>();
}

}  // namespace vexlor::cli
