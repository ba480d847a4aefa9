// `vexlor prj FILE -o OUT`: the faces as a PRJ file, written to OUT as given.
#include "CliOutput.h"

namespace vexlor::cli {

namespace {

class PrjCommand : public Command {
  public:
    std::string Name() const override { return "prj"; }
    std::string Summary() const override {
        return "the faces as a PRJ file: the face count, then one 52-byte record per face";
    }
    void Define(CLI::App& command) override {
        command.add_option("FILE", file_, "the OPT file")->required();
        command.add_option("-o", out_, "the PRJ file to write, as given")
            ->option_text("OUT")
            ->required();
    }
    int Run(const CommandContext& context) override {
        const auto document = OpenDocument(context, file_);
        if (!document) return kExitFailure;
        const OperationResult saved = document->SavePrj(out_);
        return saved.ok ? kExitOk : Fail(saved);
    }

  private:
    std::string file_;
    std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakePrjCommand() {
    return std::make_unique<PrjCommand>();
}

}  // namespace vexlor::cli
