// One command of `vexlor` (report, prj, tree, block, check): the options it takes on the command
// line and what it does with them. Each command lives in a file of its own; AllCommands lists
// them in the order `vexlor --help` shows them.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "NumberText.h"

namespace vexlor::cli {

// What every command gets besides its own options.
struct CommandContext {
    std::string namesFolder;  // --names DIR; empty for the usual places
    NumberText numbers;       // the report's number texts, with the user's decimal separator
};

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
