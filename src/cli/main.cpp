// vexlor: the command-line face of the OPT reader, for batch work and for testing the reader
// without a window. Its output formats are a contract that other tools rely on.
//
// The command line is described once, with CLI11: the global options, then one subcommand per
// command (each defined in a file of its own). Usage errors are one line on standard error and
// exit status 2, as are files that cannot be read or written; with --json on the command line such
// a failure is also one JSON object on standard output (FailureJson). A hidden option, --describe,
// prints that description for the bash completion and the manual page (CommandLineDescription.h).
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <string_view>

#include "cli/CliOutput.h"
#include "cli/Command.h"
#include "cli/CommandLineDescription.h"
#include "reader/TemporaryFiles.h"
#include "reader/Version.h"

namespace {

using namespace vexlor::cli;

// Thrown once --describe has written its text: nothing else is to be done.
struct Described {};

// Whether --json is one of the words of the command line.
bool JsonOnTheLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--") return false;
        if (std::string_view(argv[i]) == "--json") return true;
    }
    return false;
}

// A usage error's line on standard error, and with --json on the line its JSON on standard output.
int UsageFailure(const std::string& message, int argc, char** argv) {
    if (JsonOnTheLine(argc, argv)) std::puts(FailureJson(message, kExitFailure).c_str());
    return Fail(message);
}

// CLI11's messages, on one line and pointing at the help. A missing command is named plainly:
// none at all, or a first word that is no command.
std::string UsageMessage(const CLI::ParseError& error, const CLI::App& app, int argc, char** argv) {
    if (app.get_subcommands().empty()) {
        for (int i = 1; i < argc; ++i) {
            const std::string word = argv[i];
            if (word == "--names" || word == "--describe") {
                ++i;
                continue;
            }
            if (!word.starts_with("-")) return "unknown command '" + word + "' (see vexlor --help)";
        }
        return "no command given (see vexlor --help)";
    }
    std::string message = error.what();
    std::replace(message.begin(), message.end(), '\n', ' ');
    return message + " (see vexlor --help)";
}

// Whether the command that ran was given --json.
bool JsonGiven(const CLI::App& command) {
    const CLI::Option* json = command.get_option_no_throw("--json");
    return json != nullptr && json->count() > 0;
}

}  // namespace

int main(int argc, char** argv) {
    // An interrupted report, PRJ file or export leaves no temporary file.
    vexlor::TemporaryFiles::RemoveOnSignals();
    CLI::App app("Inspect OPT model files.", "vexlor");
    app.set_version_flag("--version", "vexlor " VEXLOR_VERSION, "show the version");
    app.set_help_flag("-h,--help", "show this text (or, after a command, the command's)");
    app.require_subcommand(1);
    app.fallthrough();  // global options also after the command
    FailureLog failures;
    CommandContext context{
        {}, vexlor::NumberText(vexlor::DecimalSeparatorFromEnvironment()), &failures};
    app.add_option("--names", context.NamesFolder,
                   "read Mesh_Type.ace and Hardpoint_Type.ace from DIR (default: data/ in the "
                   "working directory, else data/ beside the program, else "
                   "../share/optvexlor/data from the program's folder)")
        ->option_text("DIR");

    const std::vector<std::unique_ptr<Command>> commands = AllCommands();
    std::vector<std::pair<CLI::App*, Command*>> chosen;
    for (const auto& command : commands) {
        CLI::App* sub = app.add_subcommand(command->Name(), command->Summary());
        sub->fallthrough();
        command->Define(*sub);
        chosen.emplace_back(sub, command.get());
    }

    std::string described;
    app.add_option_function<std::string>(
           "--describe",
           [&](const std::string& what) {
               described = what == "man" ? ManSections(app) : CompletionTable(app);
               throw Described();
           },
           "the command line for the completion or the manual page")
        ->check(CLI::IsMember({"completion", "man"}))
        ->trigger_on_parse()
        ->group("");

    try {
        app.parse(argc, argv);
    } catch (const Described&) {
        std::fputs(described.c_str(), stdout);
        return FinishStdout();
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::ParseError& error) {
        return UsageFailure(UsageMessage(error, app, argc, argv), argc, argv);
    }
    for (const auto& [sub, command] : chosen) {
        if (!sub->parsed()) continue;
        const int status = command->Run(context);
        // A --json run that failed before its result was written ends with the failure as JSON.
        if (status == kExitFailure && JsonGiven(*sub) && !failures.First().empty()) {
            std::puts(FailureJson(failures.First(), status).c_str());
            return FinishStdout() == kExitOk ? status : kExitFailure;
        }
        return status;
    }
    return Fail("no command given (see vexlor --help)");
}
