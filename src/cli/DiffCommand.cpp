// `vexlor diff A B [--json] [--tolerance T]`: the differences between two OPT files, block by
// block and field by field, and a summary line; exit status 0 when they are the same, 1 when they
// differ, 2 when either cannot be read as an OPT file.
#include <charconv>
#include <cmath>

#include "cli/CliOutput.h"
#include "cli/Command.h"
#include "cli/DiffJson.h"
#include "compare/DifferenceText.h"

namespace vexlor::cli {

namespace {

// Why `text` is no tolerance (a finite number, 0 or more, as C writes it); empty when it is one. A
// NaN would make every comparison false and so every number equal.
std::string ToleranceError(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error == std::errc{} && stop == end && std::isfinite(value) && value >= 0) return {};
    return "T must be a finite number, 0 or more, not '" + text + "'";
}

class DiffCommand : public Command {
  public:
    std::string Name() const override { return "diff"; }
    std::string Summary() const override {
        return "the header and record fields that differ between two OPT files, and the blocks "
               "only one holds; exit status 0 when they are the same, 1 when they differ";
    }
    void Define(CLI::App& command) override {
        command.add_option("A", fileA_, "the first OPT file")->required();
        command.add_option("B", fileB_, "the second OPT file")->required();
        command.add_flag("--json", json_, "write the differences as JSON");
        command
            .add_option(
                "--tolerance", tolerance_,
                "numbers that differ by no more than T count as equal (default 0: exact, bit for "
                "bit)")
            ->option_text("T")
            ->check(CLI::Validator(ToleranceError, "T"));
    }
    int Run(const CommandContext& context) override {
        const auto a = OpenOpt(context, fileA_);
        if (!a) return kExitFailure;
        const auto b = OpenOpt(context, fileB_);
        if (!b) return kExitFailure;
        const FileComparison comparison = CompareFiles(*a, *b, {.Tolerance = tolerance_});
        StdoutOutput out;  // large writes: a diff of two models can run to a million lines
        if (json_) {
            WriteComparisonJson(*a, *b, comparison, [&](std::string_view text) {
                out.Write(text.data(), text.size());
            });
        } else {
            std::string text;
            for (const std::string& note : ProblemNotes(comparison))
                text += note + "\n";
            const auto flush = [&] {
                out.Write(text.data(), text.size());
                text.clear();
            };
            for (const FieldDifference& difference : comparison.Fields) {
                text += DifferenceLine(*a, *b, difference) + "\n";
                if (text.size() > (1 << 16)) flush();
            }
            for (const UnmatchedRecords& records : comparison.Records)
                text += DifferenceLine(*a, *b, records) + "\n";
            for (const UnmatchedBlock& block : comparison.Blocks)
                text += DifferenceLine(*a, *b, block) + "\n";
            text += ComparisonSummary(comparison) + "\n";
            flush();
        }
        if (out.Failed()) return Fail("cannot write to standard output");
        const int written = FinishStdout();
        if (written != kExitOk) return written;
        return comparison.Same() ? kExitOk : kExitFindings;
    }

  private:
    // A file that cannot be read, or does not look like an OPT file, is an error.
    static std::unique_ptr<OptDocument> OpenOpt(const CommandContext& context,
                                                const std::string& file) {
        auto document = OpenDocument(context, file);
        if (document && !document->NotOptReason().empty()) {
            Fail(context, file + " is not an OPT file: " + document->NotOptReason());
            return nullptr;
        }
        return document;
    }

    std::string fileA_;
    std::string fileB_;
    double tolerance_ = 0;
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeDiffCommand() {
    return std::make_unique<DiffCommand>();
}

}  // namespace vexlor::cli
