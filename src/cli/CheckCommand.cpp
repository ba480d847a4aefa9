// `vexlor check FILE... [--vn whole|mesh|none] [--json] [--strict]`: the consistency check's
// lines, as "Check OPT" lists them, or its findings as JSON; the exit status says whether anything
// was found (with --strict, a warning too). Over several files it ends with a summary line, and
// --json writes one record per file (CheckRecord.h).
#include "check/ConsistencyCheck.h"
#include "cli/CheckRecord.h"
#include "cli/CliOutput.h"
#include "cli/FileCommand.h"
#include "cli/FindingsJson.h"

namespace vexlor::cli {

namespace {

std::string Dump(const nlohmann::json& json, int indent = -1) {
    return json.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
}

class CheckCommand : public FileCommand {
  public:
    std::string Name() const override { return "check"; }
    std::string Summary() const override {
        return "the consistency check's report lines; exit status 0 for \"All OK!!\", 1 when "
               "errors were detected (with --strict, also when there were warnings)";
    }

  protected:
    std::string OutputHelp() const override {
        return "write the lines (or the JSON) to OUT; with several files OUT is a folder that gets "
               "NAME.check.txt (NAME.check.json) for each NAME.opt";
    }
    std::string OutputEnding() const override { return json_ ? ".check.json" : ".check.txt"; }
    void DefineOptions(CLI::App& command) override {
        command
            .add_option("--vn", modeName_,
                        "how vertex normals are checked: across the whole model (the default), "
                        "mesh by mesh, or not at all")
            ->option_text("whole|mesh|none")
            ->check(CLI::IsMember({"whole", "mesh", "none"}));
        command.add_flag("--json", json_,
                         "write the findings as JSON (one record per finding line, with mesh, "
                         "face, corner, vectors and the face's place in the file); with several "
                         "files, one line per file with its path, size, counts, verdict, findings "
                         "and errors");
        command.add_flag("--strict", strict_,
                         "exit with status 1 on warnings too: findings the run lists but does not "
                         "count, such as a face normal not consistent with the vertex order");
    }
    // A JSON record per line needs no line naming its file.
    bool FileHeaders() const override { return !json_; }

    int RunFile(FileJob& job) const override {
        const auto document = job.Open();
        if (!document) {
            if (json_ && job.OneOfSeveral()) {
                job.Print(Dump(UnreadableRecord(job.Input(), job.Messages())) + "\n");
                job.Finish();
            }
            return kExitFailure;
        }
        std::vector<std::string> lines;
        std::vector<CheckFinding> findings;
        const CheckOutcome outcome =
            RunConsistencyCheck(*document, Mode(), lines, ContributionSearch::Indexed, &findings);
        if (!json_) {
            job.PrintLines(lines);
        } else if (!job.OneOfSeveral()) {
            nlohmann::json record = CheckJson(outcome, findings);
            record["file"] = job.Input();
            job.Print(Dump(record, 2) + "\n");
        } else {
            // Counted after the check: every walk reads into the document's mesh tables.
            const ModelCounts counts = CountModel(*document);
            nlohmann::json record =
                CheckRecord(job.Input(), document->Stream().Size(), counts, outcome, findings,
                            document->NotOptReason(), job.Messages());
            if (!Passes(outcome)) record["verdict"] = "findings";
            job.Print(Dump(record) + "\n");
        }
        const int written = job.Finish();
        if (written != kExitOk) return written;
        return Passes(outcome) ? kExitOk : kExitFindings;
    }

    void FinishSeveral(const BatchCounts& counts) const override {
        const std::string summary =
            std::to_string(counts.Files) + (counts.Files == 1 ? " file: " : " files: ") +
            std::to_string(counts.Ok) + " OK, " + std::to_string(counts.Findings) +
            " with findings, " + std::to_string(counts.Failed) + " unreadable\n";
        // Standard output of --json holds nothing but the records.
        std::fputs(summary.c_str(), json_ ? stderr : stdout);
    }

  private:
    // "All OK!!", and with --strict no warning either.
    bool Passes(const CheckOutcome& outcome) const {
        return outcome.AllOk && (!strict_ || outcome.WarningCount == 0);
    }
    VertexNormalCheck Mode() const {
        if (modeName_ == "mesh") return VertexNormalCheck::MeshByMesh;
        if (modeName_ == "none") return VertexNormalCheck::None;
        return VertexNormalCheck::WholeModel;
    }

    std::string modeName_ = "whole";
    bool json_ = false;
    bool strict_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeCheckCommand() {
    return std::make_unique<CheckCommand>();
}

}  // namespace vexlor::cli
