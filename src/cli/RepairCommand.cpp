// `vexlor repair FILE -o OUT [--face-normals] [--soft-vectors] [--vertex-normals whole|mesh]
// [--json] [--force]`: writes a copy of FILE with the fields the consistency check flags mended,
// lists each change and what it would not write, then checks the written file.
#include "check/ConsistencyCheck.h"
#include "cli/CliOutput.h"
#include "cli/Command.h"
#include "cli/FindingsJson.h"
#include "cli/RepairJson.h"
#include "reader/SameFileRule.h"
#include "repair/RepairWrite.h"

namespace vexlor::cli {

namespace {

class RepairCommand : public Command {
  public:
    std::string Name() const override { return "repair"; }
    std::string Summary() const override {
        return "write a copy of FILE whose face normals, soft vectors and vertex normals pass the "
               "check; exit status 0 when the copy's check ends with \"All OK!!\", 1 when "
               "something was not mendable";
    }
    void Define(CLI::App& command) override {
        command.add_option("FILE", file_, "the OPT file")->required();
        command.add_option("-o,--output", output_, "the repaired file (never FILE itself)")
            ->required();
        command.add_flag("--face-normals", faceNormals_,
                         "mend face normals (without any of the three choices: all three)");
        command.add_flag("--soft-vectors", softVectors_, "mend soft vectors");
        command
            .add_option("--vertex-normals", vertexNormals_,
                        "mend vertex normals, gathering the corners' face normals across the "
                        "whole model or mesh by mesh")
            ->option_text("whole|mesh")
            ->check(CLI::IsMember({"whole", "mesh"}));
        command.add_flag("--json", json_,
                         "write the changes, what was not mended and the check "
                         "of the written file as one JSON object");
        command.add_flag("--force", force_,
                         "repair a file whose open found problems (only records read whole are "
                         "written)");
    }

    int Run(const CommandContext& context) override {
        if (const Result distinct = RefuseSameFile(file_, output_); !distinct.Ok())
            return Fail(context, distinct);
        const auto document = OpenDocument(context, file_);
        if (!document) return kExitFailure;
        if (const int refused = RefuseProblems(context, *document); refused != kExitOk)
            return refused;

        const RepairChoice choice = Choice();
        const RepairPlan plan = PlanRepair(*document, choice);
        const Result written =
            WriteRepairedFile(file_, output_, document->Stream(), plan);
        if (!written.Ok()) return Fail(context, written);

        const auto repaired = OpenDocument(context, output_);
        if (!repaired) return kExitFailure;
        const VertexNormalCheck mode = choice.VertexNormals == VertexNormalCheck::None
                                           ? VertexNormalCheck::WholeModel
                                           : choice.VertexNormals;
        std::vector<std::string> lines;
        std::vector<CheckFinding> findings;
        const CheckOutcome outcome =
            RunConsistencyCheck(*repaired, mode, lines, ContributionSearch::Indexed, &findings);
        if (json_) {
            nlohmann::ordered_json record = {{"file", file_}, {"output", output_}};
            record.update(RepairPlanJson(plan));
            record["check"] = nlohmann::ordered_json(CheckJson(outcome, findings));
            PrintLines(
                {record.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)});
        } else {
            std::vector<std::string> text;
            for (const FieldChange& change : plan.Changes)
                text.push_back(FieldChangeText(change));
            for (const NotMendable& kept : plan.Kept)
                text.push_back("not mended: " + NotMendableText(kept));
            text.push_back(std::to_string(plan.Changes.size()) +
                           (plan.Changes.size() == 1 ? " field" : " fields") + " changed, " +
                           std::to_string(plan.Kept.size()) + " not mended; written to " + output_);
            text.push_back("");
            text.insert(text.end(), lines.begin(), lines.end());
            PrintLines(text);
        }
        const int finished = FinishStdout();
        if (finished != kExitOk) return finished;
        return outcome.AllOk ? kExitOk : kExitFindings;
    }

  private:
    // A file whose open found problems is not repaired unless --force: its "!!" lines are named.
    int RefuseProblems(const CommandContext& context, const OptDocument& document) const {
        const WalkProblems& problems = document.Model().Problems;
        const bool notOpt = !document.NotOptReason().empty();
        if (force_ || (problems.Count() == 0 && !notOpt)) return kExitOk;
        std::string message = file_ +
                              ": the open found problems, so it is not repaired (--force "
                              "repairs it anyway):";
        if (notOpt)
            message += "\n!! this does not look like an OPT file: " + document.NotOptReason();
        for (const WalkProblem& problem : problems.Kept()) {
            const size_t text = problem.Text.find_first_not_of(' ');
            message +=
                "\n" + (text == std::string::npos ? problem.Text : problem.Text.substr(text));
        }
        if (problems.Count() > static_cast<int64_t>(problems.Kept().size()))
            message +=
                "\n!! and " +
                std::to_string(problems.Count() - static_cast<int64_t>(problems.Kept().size())) +
                " more problems";
        return Fail(context, message);
    }

    RepairChoice Choice() const {
        RepairChoice choice;
        if (!faceNormals_ && !softVectors_ && vertexNormals_.empty()) return choice;
        choice.FaceNormals = faceNormals_;
        choice.SoftVectors = softVectors_;
        choice.VertexNormals = vertexNormals_.empty()     ? VertexNormalCheck::None
                               : vertexNormals_ == "mesh" ? VertexNormalCheck::MeshByMesh
                                                          : VertexNormalCheck::WholeModel;
        return choice;
    }

    std::string file_;
    std::string output_;
    bool faceNormals_ = false;
    bool softVectors_ = false;
    std::string vertexNormals_;
    bool json_ = false;
    bool force_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeRepairCommand() {
    return std::make_unique<RepairCommand>();
}

}  // namespace vexlor::cli
