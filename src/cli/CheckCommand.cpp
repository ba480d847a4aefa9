// `vexlor check FILE [--vn whole|mesh|none] [--json]`: the consistency check's lines, as "Check
// OPT" lists them, or its findings as JSON; the exit status says whether anything was found.
#include "CliOutput.h"
#include "ConsistencyCheck.h"
#include "FindingsJson.h"

namespace vexlor::cli {

namespace {

class CheckCommand : public Command {
  public:
    std::string Name() const override { return "check"; }
    std::string Summary() const override {
        return "the consistency check's report lines; exit status 0 for \"All OK!!\", 1 when "
               "errors were detected";
    }
    void Define(CLI::App& command) override {
        command.add_option("FILE", file_, "the OPT file")->required();
        command
            .add_option("--vn", modeName_,
                        "how vertex normals are checked: across the whole model (the default), "
                        "mesh by mesh, or not at all")
            ->option_text("whole|mesh|none")
            ->check(CLI::IsMember({"whole", "mesh", "none"}));
        command.add_flag("--json", json_,
                         "write the findings as JSON (one record per finding line, with mesh, "
                         "face, corner, vectors and the face's place in the file)");
    }
    int Run(const CommandContext& context) override {
        const auto document = OpenDocument(context, file_);
        if (!document) return kExitFailure;
        std::vector<std::string> lines;
        std::vector<CheckFinding> findings;
        const CheckOutcome outcome =
            CheckOPT(*document, Mode(), lines, ContributionSearch::Indexed, &findings);
        if (json_) {
            nlohmann::json record = CheckJson(outcome, findings);
            record["file"] = file_;
            const std::string text =
                record.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
            std::fwrite(text.data(), 1, text.size(), stdout);
            std::fputc('\n', stdout);
        } else {
            PrintLines(lines);
        }
        const int written = FinishStdout();
        if (written != kExitOk) return written;
        return outcome.allOk ? kExitOk : kExitFindings;
    }

  private:
    VertexNormalCheck Mode() const {
        if (modeName_ == "mesh") return VertexNormalCheck::MeshByMesh;
        if (modeName_ == "none") return VertexNormalCheck::None;
        return VertexNormalCheck::WholeModel;
    }

    std::string file_;
    std::string modeName_ = "whole";
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeCheckCommand() {
    return std::make_unique<CheckCommand>();
}

}  // namespace vexlor::cli
