// `vexlor report FILE [-o OUT]`: the full text report, as Save ASCII writes it.
#include "CliOutput.h"

namespace vexlor::cli {

namespace {

class ReportCommand : public Command {
  public:
    std::string Name() const override { return "report"; }
    std::string Summary() const override {
        return "the full text report (as Save ASCII writes it), CR LF lines; to standard output "
               "unless OUT is given";
    }
    void Define(CLI::App& command) override {
        command.add_option("FILE", file_, "the OPT file")->required();
        command.add_option("-o", out_, "write the report to OUT")->option_text("OUT");
    }
    int Run(const CommandContext& context) override {
        const auto document = OpenDocument(context, file_);
        if (!document) return kExitFailure;
        const std::string caption = "OPTvexlor - " + file_;
        if (!out_.empty()) {
            const OperationResult saved = document->SaveAscii(out_, caption);
            return saved.ok ? kExitOk : Fail(saved);
        }
        StdoutOutput bytes;
        CrLfLineOutput lines(bytes);
        document->WriteReport(lines, caption);
        return FinishStdout();
    }

  private:
    std::string file_;
    std::string out_;
};

}  // namespace

std::unique_ptr<Command> MakeReportCommand() {
    return std::make_unique<ReportCommand>();
}

}  // namespace vexlor::cli
