// `vexlor export FILE... -o OUT [--lod all|N] [--format ID] [--units U | --scale S] [--up y|z]`:
// the model in another 3D format, written through assimp (all files or none); `vexlor export
// --formats` lists the formats.
// What the model could not keep (bad indices and the like) is written to standard error, one
// warning a line, and the file is written all the same. A file of which the walk could not read
// every part (a count cut, a block outside the file) is written too, but says so on one more line
// and ends with exit status 1.
#include <charconv>
#include <cmath>
#include <limits>

#include "cli/CliOutput.h"
#include "cli/FileCommand.h"
#include "export/ExportModelBuilder.h"
#include "export/ExportUnits.h"
#include "export/ExportWriter.h"
#include "reader/WalkProblems.h"

namespace vexlor::cli {

namespace {

// A number as C writes it (a dot as decimal separator, whatever the locale).
bool ParseNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc{} && ptr == end && std::isfinite(value);
}

// "S" or "A/B" (so that "1/41" writes metres), above zero and no larger than a 32-bit float can
// hold: positions are written as such, and a larger factor makes every one infinite.
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
    return std::isfinite(scale) && scale > 0 && scale <= std::numeric_limits<float>::max();
}

// The formats whose files say nothing of an up axis, which --up chooses for.
bool HasNoUpAxis(const std::string& id) {
    for (const char* free : {"obj", "objnomtl", "ply", "plyb", "stl", "stlb"})
        if (id == free) return true;
    return false;
}

std::string UpRefused(const std::string& id) {
    return "--up is for OBJ, PLY and STL, whose files name no up axis; " + id +
           " has its own frame";
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

// What the walk's problems left unread of a file, on one line ("part of the model was not read:
// 2 problems, the first: ..."); empty when it read the file whole. Bad indices (which the export
// names itself) and a path leading back to a block read before leave nothing unread.
std::string NotReadLine(const WalkProblems& problems) {
    const WalkProblem* first = nullptr;
    int64_t count = 0;
    for (const WalkProblem& problem : problems.Kept()) {
        if (problem.Kind == ProblemKind::BadIndex || problem.Kind == ProblemKind::LeadsBack ||
            problem.Kind == ProblemKind::LeftOut)
            continue;
        if (first == nullptr) first = &problem;
        ++count;
    }
    if (first == nullptr) return {};
    const size_t text = first->Text.find_first_not_of(" !");
    return "part of the model was not read: " + std::to_string(count) +
           (count == 1 ? " problem" : " problems") + " in the walk, the first: " +
           (text == std::string::npos ? first->Text : first->Text.substr(text));
}

class ExportCommand : public FileCommand {
  public:
    std::string Name() const override { return "export"; }
    std::string Summary() const override {
        return "the model as glTF, OBJ, FBX, STL, PLY, Collada, 3MF or another format of assimp's "
               "(chosen by OUT's extension or --format); --formats lists them";
    }

  protected:
    std::string OutputHelp() const override {
        return "the file to write (side files such as .bin or .mtl go beside it); with several "
               "files a folder that gets NAME.glb, or NAME and --format's extension, for each "
               "NAME.opt";
    }
    // Without FILE, --formats lists the formats; otherwise CheckOptions asks for -o.
    bool FilesOptional() const override { return true; }
    std::string OutputEnding() const override {
        for (const ExportFormat& format : ExportFormats())
            if (format.Id == formatId_) return "." + format.Extension;
        return ".glb";
    }
    void DefineOptions(CLI::App& command) override {
        command
            .add_option("--lod", lod_,
                        "the level of detail to write: 1 (the default, what the view shows "
                        "after an open), N, or all (each under its own node)")
            ->option_text("all|N");
        command
            .add_option("--format", formatId_,
                        "the format's id (see --formats) instead of OUT's extension")
            ->option_text("ID");
        command
            .add_option("--units", units_,
                        "the unit of the numbers written: metres (the default), centimetres, "
                        "millimetres or opt (41 make a metre); the formats that can declare a "
                        "unit declare it")
            ->option_text("opt|metres|centimetres|millimetres");
        command
            .add_option("--scale", scale_,
                        "factor on every position instead of --units (1 keeps OPT units; 1/41 "
                        "is --units metres, the default)")
            ->option_text("S");
        command
            .add_option("--up", up_,
                        "the up axis for OBJ, PLY and STL, whose files name none: y (OBJ's and "
                        "PLY's default: three.js, f3d, Blender's OBJ importer) or z (STL's "
                        "default: slicers, Blender's PLY and STL importers)")
            ->option_text("y|z");
        command.add_flag("--formats", listFormats_,
                         "list the formats (id, extension, description; TAB separated) and exit");
        command_ = &command;
    }
    Result CheckOptions() const override {
        if (listFormats_) {
            for (const CLI::Option* option : command_->get_options())
                if (option->count() > 0 && option->get_name() != "--formats")
                    return Result::Failure("--formats takes no FILE and no other option of export");
            return {};
        }
        if (command_->get_option("FILE")->count() == 0)
            return Result::Failure("export needs FILE (see vexlor --help)");
        if (command_->get_option("-o")->count() == 0)
            return Result::Failure("export needs -o OUT (see vexlor --help)");
        ExportOptions options;
        if (!ParseLevel(lod_, options.Lod))
            return Result::Failure("--lod must be all or a level number from 1, not '" + lod_ +
                                   "'");
        if (!ParseScale(scale_, options.Scale))
            return Result::Failure(
                "--scale must be a number above 0 that keeps positions finite (such as 0.5 or "
                "1/41), not '" +
                scale_ + "'");
        if (command_->get_option("--units")->count() > 0) {
            if (command_->get_option("--scale")->count() > 0)
                return Result::Failure("--units and --scale say the same: give one of them");
            if (!ScaleForUnits(units_))
                return Result::Failure("--units must be one of " + UnitNames() + ", not '" +
                                       units_ + "'");
        }
        if (command_->get_option("--up")->count() > 0) {
            if (up_ != "y" && up_ != "z")
                return Result::Failure("--up must be y or z, not '" + up_ + "'");
            if (!formatId_.empty() && KnownFormat(formatId_) && !HasNoUpAxis(formatId_))
                return Result::Failure(UpRefused(formatId_));
        }
        if (!formatId_.empty() && !KnownFormat(formatId_))
            return Result::Failure("unknown export format '" + formatId_ +
                                   "' (see vexlor export --formats)");
        return {};
    }
    int RunWithoutFiles(const CommandContext& context) const override {
        (void)context;
        std::vector<std::string> lines;
        for (const ExportFormat& format : ExportFormats())
            lines.push_back(format.Id + "\t" + format.Extension + "\t" + format.Description);
        PrintLines(lines);
        return FinishStdout();
    }
    int RunFile(FileJob& job) const override {
        ExportOptions options;
        // Checked by CheckOptions before any file is read.
        ParseLevel(lod_, options.Lod);
        if (command_->get_option("--scale")->count() > 0)
            ParseScale(scale_, options.Scale);
        else
            options.Scale = *ScaleForUnits(units_);
        options.FormatId = formatId_;
        if (command_->get_option("--up")->count() > 0) {
            const std::string id = formatId_.empty() ? FormatForPath(job.Output()) : formatId_;
            if (!id.empty() && !HasNoUpAxis(id)) return job.Fail(UpRefused(id));
            options.Axes = up_ == "y" ? ExportAxes::YUp : ExportAxes::Opt;
        }
        auto document = job.Open();
        if (!document) return kExitFailure;
        ExportModel model = BuildExportModel(*document);
        const std::string notRead = NotReadLine(document->Model().Problems);
        document.reset();  // the file's bytes and tables are not needed any more
        const Expected<ExportSummary> result =
            ExportToFile(std::move(model), job.Output(), options);
        for (const std::string& warning : result->Warnings)
            job.Warn(warning);
        if (!result.Ok()) return job.Fail(result.Status());
        if (notRead.empty()) return kExitOk;
        job.Warn(job.Input() + ": " + notRead);
        return kExitFindings;
    }

  private:
    static bool KnownFormat(const std::string& id) {
        for (const ExportFormat& format : ExportFormats())
            if (format.Id == id) return true;
        return false;
    }

    const CLI::App* command_ = nullptr;
    std::string lod_ = "1";
    std::string formatId_;
    std::string scale_ = "1";
    std::string units_ = "metres";
    std::string up_;
    bool listFormats_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeExportCommand() {
    return std::make_unique<ExportCommand>();
}

}  // namespace vexlor::cli
