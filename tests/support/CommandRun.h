// Runs a command line through the shell with its standard output and error caught in files, and
// splits output into lines, for the tests that run vexlor as a process.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace vexlor::testing {

struct CommandRun {
    int status = -1;        // -1: killed by a signal or by `timeout`
    bool timedOut = false;  // killed by `timeout`
    std::string out;
    std::string err;
};

inline std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The last command of `shell` writes into `outputs` (created, and left with the two files);
// with `mergeErrors`, its standard error goes into `out` too.
// The lines of a command's output, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline CommandRun RunCaught(const std::string& shell, const std::filesystem::path& outputs,
                            bool mergeErrors = false) {
    std::filesystem::create_directories(outputs);
    const std::filesystem::path out = outputs / "run.out", err = outputs / "run.err";
    const std::string command = shell + " > '" + out.string() + "' " +
                                (mergeErrors ? std::string("2>&1") : "2> '" + err.string() + "'");
    const int raw = std::system(command.c_str());
    CommandRun run;
    run.timedOut = WIFEXITED(raw) && WEXITSTATUS(raw) == 124;
    run.status = WIFEXITED(raw) && !run.timedOut ? WEXITSTATUS(raw) : -1;
    run.out = ReadWhole(out);
    if (!mergeErrors) run.err = ReadWhole(err);
    return run;
}

}  // namespace vexlor::testing
