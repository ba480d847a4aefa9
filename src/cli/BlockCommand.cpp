// `vexlor block FILE INDEX [--json]`: the report of one tree node, as the block display shows it,
// or its block's fields and records as JSON.
#include "cli/BlockJson.h"
#include "cli/CliOutput.h"
#include "cli/Command.h"

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
        command.add_flag("--json", json_,
                         "the block's header fields and records, field by field, as JSON");
    }
    int Run(const CommandContext& context) override {
        const auto document = OpenDocument(context, file_);
        if (!document) return kExitFailure;
        const std::string missing = "no tree node " + std::to_string(index_) + " (the tree has " +
                                    std::to_string(document->Model().Tree.Count()) + " nodes)";
        if (json_) {
            const std::optional<nlohmann::ordered_json> block = BlockJson(*document, index_);
            if (!block) return Fail(context, missing);
            PrintLines(
                {block->dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)});
            return FinishStdout();
        }
        std::vector<std::string> lines;
        if (!document->DisplayBlock(index_, lines)) return Fail(context, missing);
        PrintLines(lines);
        return FinishStdout();
    }

  private:
    std::string file_;
    int32_t index_ = -1;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeBlockCommand() {
    return std::make_unique<BlockCommand>();
}

}  // namespace vexlor::cli
