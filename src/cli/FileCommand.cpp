// Running a command over one file as always, or over several side by side with each file's output
// kept together and in input order.
#include "cli/FileCommand.h"

#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <set>
#include <thread>

#include "cli/CliOutput.h"
#include "cli/OrderedRun.h"
#include "cli/ProgressLine.h"
#include "reader/SameFileRule.h"
#include "reader/WriteTarget.h"

namespace vexlor::cli {

namespace fs = std::filesystem;

namespace {

// What one file of several left for its turn.
struct FileResult {
    int Status = kExitOk;
    std::unique_ptr<CapturedOutput> Out;
    std::vector<std::string> Messages;
};

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

}  // namespace

void BatchCounts::Add(int status) {
    ++Files;
    if (status == kExitOk)
        ++Ok;
    else if (status == kExitFindings)
        ++Findings;
    else
        ++Failed;
}

int BatchCounts::ExitStatus() const {
    if (Failed > 0) return kExitFailure;
    return Findings > 0 ? kExitFindings : kExitOk;
}

int ProcessorCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? static_cast<int>(count) : 1;
}

void FileCommand::Define(CLI::App& command) {
    command
        .add_option("FILE", files_,
                    "the OPT file; or several files and folders, each folder giving its *.opt "
                    "files (any letter case) in name order")
        ->required(!FilesOptional());
    CLI::Option* out = command.add_option("-o", out_, OutputHelp())->option_text("OUT");
    if (OutputRequired()) out->required();
    DefineOptions(command);
    command
        .add_option("--jobs", jobs_,
                    "with several files, read N at a time (default: one per processor); the "
                    "output is the same for any N")
        ->option_text("N")
        ->check(CLI::Range(1, 1024));
    command.add_flag("--recursive", recursive_,
                     "take the *.opt files of the folders inside folders too");
}

int FileCommand::RunWithoutFiles(const CommandContext& context) const {
    return Fail(context, Name() + " needs FILE (see vexlor --help)");
}

int FileCommand::Run(const CommandContext& context) {
    if (const Result options = CheckOptions(); !options.Ok())
        return Fail(context, options.Message());
    if (files_.empty()) return RunWithoutFiles(context);
    const Expected<InputList> listed = ListInputs(files_, recursive_);
    const InputList& inputs = listed.Value();
    if (!inputs.Several) {
        if (!out_.empty())
            if (const Result distinct = RefuseSameFile(files_.front(), out_); !distinct.Ok())
                return Fail(context, distinct);
        FileJob job(context, files_.front(), out_);
        return RunFile(job);
    }
    if (!listed.Ok()) return Fail(context, listed.Message());
    if (inputs.Files.empty()) return Fail(context, "no OPT files in " + Joined(files_));
    std::vector<std::string> outputs(inputs.Files.size());
    if (!out_.empty() && !PlanOutputFolder(context, inputs.Files, outputs)) return kExitFailure;
    return RunSeveral(context, inputs.Files, outputs);
}

bool FileCommand::PlanOutputFolder(const CommandContext& context, const std::vector<Input>& inputs,
                                   std::vector<std::string>& outputs) const {
    const Expected<std::vector<std::string>> plan = PlanOutputs(inputs, out_, OutputEnding());
    if (!plan.Ok()) {
        Fail(context, plan.Message());
        return false;
    }
    std::error_code error;
    if (fs::exists(out_, error) && !fs::is_directory(out_, error)) {
        Fail(context, "-o " + out_ + " is not a folder (with several inputs it names one)");
        return false;
    }
    // No output may be an input, through a link or under its own name: refused before any
    // file is read or written.
    std::vector<std::string> paths;
    for (const Input& input : inputs)
        if (input.Error.empty()) paths.push_back(input.Path);
    const InputFiles read(paths);
    for (const std::string& path : plan.Value()) {
        if (path.empty()) continue;
        if (const Result distinct = read.Admit(path); !distinct.Ok()) {
            Fail(context, distinct);
            return false;
        }
    }
    std::set<fs::path> folders;
    for (const std::string& path : plan.Value()) {
        if (path.empty()) continue;
        const fs::path folder = fs::path(path).parent_path();
        fs::create_directories(folder, error);
        if (error) {
            Fail(context, "Cannot create folder " + folder.string() + " (" + error.message() + ")");
            return false;
        }
        if (folders.insert(folder).second) RemoveLeftovers(folder.string());
    }
    outputs = plan.Value();
    return true;
}

int FileCommand::RunSeveral(const CommandContext& context, const std::vector<Input>& inputs,
                            const std::vector<std::string>& outputs) const {
    // Read once: a table that cannot be read is one warning, not one per file.
    const TypeNameTables names = ReadTypeNames(context);
    // Each file's output goes out in large writes.
    const StdoutOutput largeStdoutBuffer;
    const bool toStdout = out_.empty();
    const bool headers = toStdout && FileHeaders();
    const bool stdoutIsTerminal = isatty(STDOUT_FILENO) == 1;
    ProgressLine progress(isatty(STDERR_FILENO) == 1, inputs.size());
    const size_t threads = static_cast<size_t>(jobs_ > 0 ? jobs_ : ProcessorCount());

    auto work = [&](size_t k) {
        const Input& input = inputs[k];
        FileJob job(context, input.Path, outputs[k], names);
        if (!input.Error.empty()) job.MarkUnreadable(input.Error);
        FileResult result;
        try {
            result.Status = RunFile(job);
        } catch (const std::exception& e) {
            result.Status = job.Fail(input.Path + ": " + e.what());
        }
        result.Out = job.TakeCaptured();
        if (result.Out && result.Out->Failed()) {
            // Part of an output is no output. Finish, when the command called it, said why.
            if (result.Status != kExitFailure)
                result.Status = job.Fail("cannot keep the output of " + input.Path + " (" +
                                         result.Out->Reason() + ")");
            result.Out.reset();
        }
        result.Messages = job.Messages();
        return result;
    };

    BatchCounts counts;
    bool stdoutFailed = false;
    auto deliver = [&](size_t k, FileResult& result) {
        const bool writesStdout = headers || result.Out;
        if ((writesStdout && stdoutIsTerminal) || !result.Messages.empty()) progress.Erase();
        if (headers) std::fprintf(stdout, "==> %s <==\n", inputs[k].Path.c_str());
        if (result.Out && !result.Out->CopyTo(stdout)) {
            result.Status = kExitFailure;
            result.Messages.push_back("cannot read back the output of " + inputs[k].Path);
        }
        if (toStdout && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
            stdoutFailed = true;
            return false;
        }
        for (const std::string& message : result.Messages)
            Fail(message);
        counts.Add(result.Status);
        progress.Update(k + 1);
        return true;
    };

    // Two files per thread may wait for their turn: enough to keep every thread busy behind one
    // slow file, few enough that waiting outputs (each kept in memory up to 4 MiB) stay small.
    RunInOrder<FileResult>(inputs.size(), threads, 2 * threads, work, deliver);
    progress.Erase();
    if (stdoutFailed) return Fail("cannot write to standard output");
    FinishSeveral(counts);
    if (FinishStdout() != kExitOk) return kExitFailure;
    return counts.ExitStatus();
}

}  // namespace vexlor::cli
