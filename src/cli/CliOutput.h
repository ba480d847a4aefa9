// What the commands share: exit statuses, one-line failure messages, standard output as a byte
// destination, and opening a file with the type-name tables read.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CommandContext.h"
#include "reader/ByteOutput.h"
#include "reader/OptDocument.h"

namespace vexlor::cli {

enum ExitStatus : int {
    kExitOk = 0,
    kExitFindings = 1,  // check: the run ended with "errors were detected!!"; export: a part of
                        // the model was not read
    kExitFailure = 2,   // a usage error, or a file that cannot be read or written
};

// "vexlor: MESSAGE" on standard error; returns kExitFailure.
int Fail(const std::string& message);
// "message (reason)", or the message alone when there is no reason.
std::string FailureLine(const Result& result);
int Fail(const Result& result);
// The same, and the message kept in the context's failure log: for a failure of the run itself,
// which a command given --json also reports as JSON on standard output (FailureJson).
int Fail(const CommandContext& context, const std::string& message);
int Fail(const CommandContext& context, const Result& result);
// A failure as the one JSON object a --json command writes on standard output instead of its
// result: {"error": MESSAGE, "status": STATUS}, on one line.
std::string FailureJson(const std::string& message, int status);

// Flushes standard output; a failed write is a failure.
int FinishStdout();

// Lines, each followed by LF, on standard output.
void PrintLines(const std::vector<std::string>& lines);

// Byte output to standard output (through a large buffer), for the report.
class StdoutOutput : public ByteOutput {
  public:
    StdoutOutput();
    void Write(const void* data, size_t size) override;
    void WriteAt(int64_t, const void*, size_t) override { failed_ = true; }
    bool Failed() const override { return failed_; }

  private:
    bool failed_ = false;
};

// The type-name tables as --names or the usual places give them; a table that cannot be read is a
// warning on standard error, and its names are left empty.
TypeNameTables ReadTypeNames(const CommandContext& context);

// A document with the type-name tables read (a table that cannot be read is a warning), and
// `file` opened. Nothing when the file cannot be opened; the message is written.
std::unique_ptr<OptDocument> OpenDocument(const CommandContext& context, const std::string& file);

}  // namespace vexlor::cli
