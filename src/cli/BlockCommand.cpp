// `vexlor block FILE INDEX`: the report of one tree node, as the block display shows it.
#include "CliOutput.h"
#include "Command.h"

namespace vexlor::cli {

namespace {

class BlockCommand : public Command {
  public:
    std::string Name() const override { return "block"; }
    std::string Summary() const override {
        return "the report of tree node INDEX, as the block display shows it";
    }
    void Define(CLI::App& command) override {
        command.add_option("FILE", file_, "the OPT file")->required();
        command.add_option("INDEX", index_, "the node's index, as `vexlor tree` numbers them")
            ->required();
    }
    int Run(const CommandContext& context) override {
        const auto document = OpenDocument(context, file_);
        if (!document) return kExitFailure;
        std::vector<std::string> lines;
        if (!document->DisplayBlock(index_, lines))
            return Fail("no tree node " + std::to_string(index_) + " (the tree has " +
                        std::to_string(document->Model().Tree.Count()) + " nodes)");
        PrintLines(lines);
        return FinishStdout();
    }

  private:
    std::string file_;
    int32_t index_ = -1;
};

}  // namespace

std::unique_ptr<Command> MakeBlockCommand() {
    return std::make_unique<BlockCommand>();
}

}  // namespace vexlor::cli
