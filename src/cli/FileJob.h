// One input file's run as a command sees it: the file to read, where its output goes, and where
// its messages go. Given alone, the file's output and messages go to standard output and standard
// error at once, exactly as vexlor has always written them. As one of several files, both are kept
// until the file's turn comes, so that each file's output stays together and in input order.
// With an output file (-o), the output goes there instead, written whole or not at all.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CapturedOutput.h"
#include "cli/CommandContext.h"
#include "reader/AtomicFile.h"
#include "reader/OptDocument.h"

namespace vexlor::cli {

class FileJob {
  public:
    // The only input: standard output and error straight away, the type-name tables read for it.
    FileJob(const CommandContext& context, std::string input, std::string output);
    // One of several inputs, sharing the type-name tables read once for all.
    FileJob(const CommandContext& context, std::string input, std::string output,
            const TypeNameTables& names);

    const std::string& Input() const { return input_; }
    // The file to write; empty for standard output.
    const std::string& Output() const { return output_; }
    bool OneOfSeveral() const { return names_ != nullptr; }

    // A document with `Input()` opened and the type-name tables in place; nothing when the file
    // cannot be opened (the message is given).
    std::unique_ptr<OptDocument> Open();
    // Makes Open fail with `message`: for an input known to be unreadable (a folder that could not
    // be listed), which still gets its turn like any other.
    void MarkUnreadable(std::string message) { unreadable_ = std::move(message); }

    // The file's output: the output file, else standard output (kept, for one of several).
    ByteOutput& Out();
    void Print(std::string_view text);
    // Lines, each followed by LF.
    void PrintLines(const std::vector<std::string>& lines);
    // Ends the output: the output file appears complete, or standard output is flushed. kExitOk,
    // or kExitFailure with the message given.
    int Finish();

    // Gives "vexlor: MESSAGE" (at once, or in the file's turn); returns kExitFailure.
    int Fail(const std::string& message);
    int Fail(const Result& result);
    // Gives "vexlor: warning: MESSAGE" (at once, or in the file's turn); the run goes on.
    void Warn(const std::string& message);
    // The messages given so far, without "vexlor: ".
    const std::vector<std::string>& Messages() const { return messages_; }

    // What was kept of standard output for one of several files (nothing when none was written).
    std::unique_ptr<CapturedOutput> TakeCaptured() { return std::move(captured_); }

  private:
    const CommandContext& context_;
    std::string input_;
    std::string output_;
    const TypeNameTables* names_ = nullptr;
    std::string unreadable_;
    std::vector<std::string> messages_;
    ByteOutput* out_ = nullptr;           // one of the three below, chosen at the first output
    std::unique_ptr<ByteOutput> direct_;  // standard output, or nothing for a refused file
    std::unique_ptr<CapturedOutput> captured_;
    std::unique_ptr<AtomicFile> file_;
    bool fileRefused_ = false;  // the output file could not be created
};

}  // namespace vexlor::cli
