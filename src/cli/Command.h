// One command of `vexlor` (report, prj, tree, block, check, export, diff): the options it takes on
// the command line and what it does with them. Each command lives in a file of its own; AllCommands
// lists them in the order `vexlor --help` shows them. A command that reads one OPT file and can as
// well read many derives from FileCommand (FileCommand.h) instead.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "cli/CommandContext.h"

namespace vexlor::cli {

class Command {
  public:
    virtual ~Command() = default;
    virtual std::string Name() const = 0;
    virtual std::string Summary() const = 0;
    // Adds the command's options and arguments to its subcommand.
    virtual void Define(CLI::App& command) = 0;
    // Runs it; the exit status (see ExitStatus).
    virtual int Run(const CommandContext& context) = 0;
};

std::vector<std::unique_ptr<Command>> AllCommands();

}  // namespace vexlor::cli
