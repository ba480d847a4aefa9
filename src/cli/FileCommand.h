// A command that reads OPT files one at a time (report, prj, tree, check). Given one file it
// behaves as it always did. Given several files or a folder, it reads them side by side on --jobs
// threads, keeps each file's output together and gives the outputs out in input order; -o then
// names a folder that gets one output per input (named after it, with the command's ending).
//
// A command opts in by deriving from FileCommand instead of Command: it says what -o means for it
// and which ending its outputs get in a folder, adds its own options, and runs one file with what
// the FileJob gives it (the input, the output file if any, its output and its messages). RunFile
// runs on several threads at once, so it must change nothing in the command.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/FileJob.h"
#include "cli/InputList.h"

namespace vexlor::cli {

// The outcome of a run over several files, counted by each file's exit status.
struct BatchCounts {
    size_t Files = 0;
    size_t Ok = 0;        // exit status 0
    size_t Findings = 0;  // 1: the check found something
    size_t Failed = 0;    // 2: the file could not be read, or its output not written

    void Add(int status);
    // 2 if any file failed, else 1 if any had findings, else 0.
    int ExitStatus() const;
};

// The number of processors this process may run on: the default of --jobs.
int ProcessorCount();

class FileCommand : public Command {
  public:
    void Define(CLI::App& command) final;
    int Run(const CommandContext& context) final;

  protected:
    // The help of -o, which should say what OUT is for one input and for several.
    virtual std::string OutputHelp() const = 0;
    virtual bool OutputRequired() const { return false; }
    // The ending that replaces ".opt" in the name of an input's output in an output folder, for the
    // options given (e.g. ".txt").
    virtual std::string OutputEnding() const = 0;
    // Adds the command's own options; FILE, -o, --jobs and --recursive are added for it.
    virtual void DefineOptions(CLI::App& command) { (void)command; }
    // The options given, checked before any file is read; a failure's message says what is wrong.
    virtual Result CheckOptions() const { return {}; }
    // Whether the command also runs without FILE (RunWithoutFiles), e.g. to list something.
    virtual bool FilesOptional() const { return false; }
    virtual int RunWithoutFiles(const CommandContext& context) const;
    // Whether each file's standard output, when there are several, follows a line "==> FILE <==".
    virtual bool FileHeaders() const { return true; }
    // Reads one file; the exit status (see ExitStatus).
    virtual int RunFile(FileJob& job) const = 0;
    // After the last of several files (e.g. the check's summary line).
    virtual void FinishSeveral(const BatchCounts& counts) const { (void)counts; }

  private:
    int RunSeveral(const CommandContext& context, const std::vector<Input>& inputs,
                   const std::vector<std::string>& outputs) const;
    // The output of each input in the output folder, with the folders it needs made; empty
    // strings without -o. False (the message given) when that cannot be done.
    bool PlanOutputFolder(const CommandContext& context, const std::vector<Input>& inputs,
                          std::vector<std::string>& outputs) const;

    std::vector<std::string> files_;
    std::string out_;
    int jobs_ = 0;  // 0: one per processor
    bool recursive_ = false;
};

}  // namespace vexlor::cli
