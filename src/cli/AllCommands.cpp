// The commands of `vexlor`, in the order its help lists them.
#include "cli/Command.h"

namespace vexlor::cli {

std::unique_ptr<Command> MakeReportCommand();
std::unique_ptr<Command> MakePrjCommand();
std::unique_ptr<Command> MakeTreeCommand();
std::unique_ptr<Command> MakeBlockCommand();
std::unique_ptr<Command> MakeCheckCommand();
std::unique_ptr<Command> MakeExportCommand();
std::unique_ptr<Command> MakeDiffCommand();
std::unique_ptr<Command> MakeRepairCommand();

std::vector<std::unique_ptr<Command>> AllCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(MakeReportCommand());
    commands.push_back(MakePrjCommand());
    commands.push_back(MakeTreeCommand());
    commands.push_back(MakeBlockCommand());
    commands.push_back(MakeCheckCommand());
    commands.push_back(MakeExportCommand());
    commands.push_back(MakeDiffCommand());
    commands.push_back(MakeRepairCommand());
    return commands;
}

}  // namespace vexlor::cli
