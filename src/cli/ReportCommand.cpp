// `vexlor report FILE... [-o OUT]`: the full text report, as Save ASCII writes it.
#include "cli/CliOutput.h"
#include "cli/FileCommand.h"

namespace vexlor::cli {

namespace {

class ReportCommand : public FileCommand {
  public:
    std::string Name() const override { return "report"; }
    std::string Summary() const override {
        return "the full text report (as Save ASCII writes it), CR LF lines; to standard output "
               "unless OUT is given";
    }

  protected:
    std::string OutputHelp() const override {
        return "write the report to OUT; with several files OUT is a folder that gets NAME.txt "
               "for each NAME.opt";
    }
    std::string OutputEnding() const override { return ".txt"; }
    int RunFile(FileJob& job) const override {
        const auto document = job.Open();
        if (!document) return kExitFailure;
        const std::string caption = "OPTvexlor - " + job.Input();
        if (!job.Output().empty()) {
            const Result saved = document->SaveAscii(job.Output(), caption);
            return saved.Ok() ? kExitOk : job.Fail(saved);
        }
        CrLfLineOutput lines(job.Out());
        document->WriteReport(lines, caption);
        return job.Finish();
    }
};

}  // namespace

std::unique_ptr<Command> MakeReportCommand() {
    return std::make_unique<ReportCommand>();
}

}  // namespace vexlor::cli
