// `vexlor prj FILE... -o OUT`: the faces as a PRJ file, written to OUT as given.
#include "cli/CliOutput.h"
#include "cli/FileCommand.h"
#include "reader/FormatTables.h"

namespace vexlor::cli {

namespace {

class PrjCommand : public FileCommand {
  public:
    std::string Name() const override { return "prj"; }
    std::string Summary() const override {
        return "the faces as a PRJ file: the face count, then one " +
               std::to_string(format::kPrjFaceRecordSize) + "-byte record per face";
    }

  protected:
    std::string OutputHelp() const override {
        return "the PRJ file to write, as given; with several files a folder that gets NAME.PRJ "
               "for each NAME.opt";
    }
    bool OutputRequired() const override { return true; }
    // As the desktop program's Save PRJ names them.
    std::string OutputEnding() const override { return ".PRJ"; }
    int RunFile(FileJob& job) const override {
        const auto document = job.Open();
        if (!document) return kExitFailure;
        const Result saved = document->SavePrj(job.Output());
        return saved.Ok() ? kExitOk : job.Fail(saved);
    }
};

}  // namespace

std::unique_ptr<Command> MakePrjCommand() {
    return std::make_unique<PrjCommand>();
}

}  // namespace vexlor::cli
