// `vexlor export FILE -o OUT [--lod all|N] [--format ID] [--scale S]`: the model in another 3D
// format, written through assimp (all files or none); `vexlor export --formats` lists the formats.
// What the model could not keep (bad indices and the like) is written to standard error, one
// warning a line, and the file is written all the same.
#include <charconv>
#include <cmath>

#include "CliOutput.h"
#include "ExportModelBuilder.h"
#include "ModelExport.h"

namespace vexlor::cli {

namespace {

// A number as C writes it (a dot as decimal separator, whatever the locale).
bool ParseNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc{} && ptr == end && std::isfinite(value);
}

// "S" or "A/B" (so that "1/41" writes metres), above zero.
bool ParseScale(const std::string& text, double& scale) {
    const size_t slash = text.find('/');
    double numerator = 0;
    double denominator = 1;
    if (slash == std::string::npos) {
        if (!ParseNumber(text, numerator)) return false;
    } else if (!ParseNumber(text.substr(0, slash), numerator) ||
               !ParseNumber(text.substr(slash + 1), denominator) || denominator == 0) {
        return false;
    }
    scale = numerator / denominator;
    return std::isfinite(scale) && scale > 0;
}

// "all" or a level number from 1.
bool ParseLevel(const std::string& text, int32_t& lod) {
    if (text == "all") {
        lod = kAllLevels;
        return true;
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, lod);
    return ec == std::errc{} && ptr == end && lod >= 1;
}

class ExportCommand : public Command {
  public:
    std::string Name() const override { return "export"; }
    std::string Summary() const override {
        return "the model as glTF, OBJ, FBX, STL, PLY, Collada, 3MF or another format of assimp's "
               "(chosen by OUT's extension or --format); --formats lists them";
    }
    void Define(CLI::App& command) override {
        exportOptions_ = {
            command.add_option("FILE", file_, "the OPT file"),
            command
                .add_option("-o", out_,
                            "the file to write (side files such as .bin or .mtl go beside it)")
                ->option_text("OUT"),
            command
                .add_option("--lod", lod_,
                            "the level of detail to write: 1 (the default, what the view shows "
                            "after an open), N, or all (each under its own node)")
                ->option_text("all|N"),
            command
                .add_option("--format", formatId_,
                            "the format's id (see --formats) instead of OUT's extension")
                ->option_text("ID"),
            command
                .add_option("--scale", scale_,
                            "factor on every position; 1/41 writes metres (default 1: OPT units)")
                ->option_text("S"),
        };
        command.add_flag("--formats", listFormats_,
                         "list the formats (id, extension, description; TAB separated) and exit");
    }
    int Run(const CommandContext& context) override {
        if (listFormats_) {
            for (const CLI::Option* option : exportOptions_)
                if (option->count() > 0)
                    return Fail("--formats takes no FILE and no other option of export");
            return ListFormats();
        }
        if (file_.empty()) return Fail("export needs FILE (see vexlor --help)");
        if (out_.empty()) return Fail("export needs -o OUT (see vexlor --help)");
        ExportOptions options;
        if (!ParseLevel(lod_, options.lod))
            return Fail("--lod must be all or a level number from 1, not '" + lod_ + "'");
        if (!ParseScale(scale_, options.scale))
            return Fail("--scale must be a number above 0 (such as 0.5 or 1/41), not '" + scale_ +
                        "'");
        options.formatId = formatId_;
        if (!formatId_.empty() && !KnownFormat(formatId_))
            return Fail("unknown export format '" + formatId_ + "' (see vexlor export --formats)");

        const auto document = OpenDocument(context, file_);
        if (!document) return kExitFailure;
        const ExportModel model = BuildExportModel(*document);
        const ExportResult result = ExportToFile(model, out_, options);
        for (const std::string& warning : result.warnings)
            std::fprintf(stderr, "vexlor: warning: %s\n", warning.c_str());
        if (!result.ok) return Fail(OperationResult{false, result.message, result.reason});
        return kExitOk;
    }

  private:
    static bool KnownFormat(const std::string& id) {
        for (const ExportFormat& format : ExportFormats())
            if (format.id == id) return true;
        return false;
    }

    static int ListFormats() {
        std::vector<std::string> lines;
        for (const ExportFormat& format : ExportFormats())
            lines.push_back(format.id + "\t" + format.extension + "\t" + format.description);
        PrintLines(lines);
        return FinishStdout();
    }

    std::vector<CLI::Option*> exportOptions_;  // all but --formats
    std::string file_;
    std::string out_;
    std::string lod_ = "1";
    std::string formatId_;
    std::string scale_ = "1";
    bool listFormats_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeExportCommand() {
    return std::make_unique<ExportCommand>();
}

}  // namespace vexlor::cli
