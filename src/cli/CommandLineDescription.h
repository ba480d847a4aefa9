// The command line of `vexlor` as other tools need it, read from its CLI11 description so that
// they cannot drift from it: `vexlor --describe completion` gives the bash completion its words,
// `vexlor --describe man` gives the manual page its COMMANDS and OPTIONS sections (written into
// the page when the program is built).
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace vexlor::cli {

// One line per item, fields separated by TAB, "-" for none:
//   command  NAME
//   global   NAMES VALUE            an option before or after any command (--names DIR)
//   alone    NAMES                  an option that does its job alone (--help, --version)
//   option   COMMAND NAMES VALUE    an option of one command
//   argument COMMAND NAME one|many  a positional argument of one command, in order
// NAMES are the option's names joined by ',' (-h,--help); VALUE is what its help calls its value
// (DIR, OUT, N, whole|mesh|none), or "-" for a flag. The help options of the commands are left
// out, as are hidden options.
std::string CompletionTable(const CLI::App& app);

// The COMMANDS section (each command's synopsis, summary and options) and the OPTIONS section
// (the options of vexlor itself) of the manual page, in roff.
std::string ManSections(const CLI::App& app);

}  // namespace vexlor::cli
