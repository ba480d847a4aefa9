// The completion's word table and the manual page's sections, from the CLI11 description.
#include "cli/CommandLineDescription.h"

#include <cctype>

namespace vexlor::cli {

namespace {

bool Shown(const CLI::Option* option) {
    return !option->get_group().empty();
}

bool IsFlag(const CLI::Option* option) {
    return option->get_type_size_max() == 0;
}

bool Repeats(const CLI::Option* option) {
    return option->get_items_expected_max() > 1;
}

std::vector<std::string> Names(const CLI::Option* option) {
    std::vector<std::string> names;
    for (const std::string& name : option->get_snames())
        names.push_back("-" + name);
    for (const std::string& name : option->get_lnames())
        names.push_back("--" + name);
    return names;
}

std::string ValueName(const CLI::Option* option) {
    if (IsFlag(option)) return "";
    return option->get_option_text().empty() ? option->get_type_name() : option->get_option_text();
}

// The commands in the order the help lists them.
std::vector<const CLI::App*> Commands(const CLI::App& app) {
    return app.get_subcommands([](const CLI::App*) { return true; });
}

bool IsAlone(const CLI::App& app, const CLI::Option* option) {
    return option == app.get_help_ptr() || option == app.get_version_ptr();
}

std::string Joined(const std::vector<std::string>& words, const std::string& separator) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : separator) + word;
    return text;
}

// Text for roff: backslashes and minus signs escaped, no control line by accident.
std::string Roff(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string Bold(const std::string& text) {
    return "\\fB" + Roff(text) + "\\fR";
}
std::string Italic(const std::string& text) {
    return "\\fI" + Roff(text) + "\\fR";
}

// A value: choices (a|b|c) in bold, a placeholder (DIR) in italics.
std::string ValueRoff(const std::string& value) {
    if (value.find('|') == std::string::npos) return Italic(value);
    std::string out;
    size_t start = 0;
    for (size_t bar; (bar = value.find('|', start)) != std::string::npos; start = bar + 1)
        out += Bold(value.substr(start, bar - start)) + "|";
    return out + Bold(value.substr(start));
}

// "-h, --help" or "--vn whole|mesh|none".
std::string OptionRoff(const CLI::Option* option) {
    std::vector<std::string> names;
    for (const std::string& name : Names(option))
        names.push_back(Bold(name));
    const std::string value = ValueName(option);
    // An option and its value stay on one line (an unbreakable space), and a long value such as
    // opt|metres|centimetres|millimetres is not hyphenated (\%): a wrapped synopsis line must not
    // start with a word, as a command's entry does.
    return Joined(names, ", ") + (value.empty() ? "" : "\\ \\%" + ValueRoff(value));
}

// A help text as a sentence: capital first letter, full stop at the end.
std::string Sentence(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (!text.empty() && text.back() != '.') text += '.';
    return Roff(text);
}

// "report FILE... [-o OUT] [--jobs N]": the command's synopsis, as a manual page tag.
std::string Synopsis(const CLI::App* command) {
    std::string line = Bold(command->get_name());
    for (const CLI::Option* option : command->get_options()) {
        if (!Shown(option) || option == command->get_help_ptr()) continue;
        std::string part;
        if (option->get_positional())
            part = Italic(option->get_name(true)) + (Repeats(option) ? "..." : "");
        else
            part = OptionRoff(option);
        line += " " + (option->get_required() ? part : "[" + part + "]");
    }
    return line;
}

}  // namespace

std::string CompletionTable(const CLI::App& app) {
    std::string table;
    for (const CLI::App* command : Commands(app))
        table += "command\t" + command->get_name() + "\n";
    for (const CLI::Option* option : app.get_options()) {
        if (!Shown(option)) continue;
        const std::string names = Joined(Names(option), ",");
        if (IsAlone(app, option)) {
            table += "alone\t" + names + "\n";
        } else {
            const std::string value = ValueName(option);
            table += "global\t" + names + "\t" + (value.empty() ? "-" : value) + "\n";
        }
    }
    for (const CLI::App* command : Commands(app)) {
        for (const CLI::Option* option : command->get_options()) {
            if (!Shown(option) || option == command->get_help_ptr()) continue;
            if (option->get_positional()) {
                table += "argument\t" + command->get_name() + "\t" + option->get_name(true) + "\t" +
                         (Repeats(option) ? "many" : "one") + "\n";
            } else {
                const std::string value = ValueName(option);
                table += "option\t" + command->get_name() + "\t" + Joined(Names(option), ",") +
                         "\t" + (value.empty() ? "-" : value) + "\n";
            }
        }
    }
    return table;
}

std::string ManSections(const CLI::App& app) {
    std::string page = ".SH COMMANDS\n";
    for (const CLI::App* command : Commands(app)) {
        page += ".TP\n" + Synopsis(command) + "\n" + Sentence(command->get_description()) + "\n";
        std::string entries;
        for (const CLI::Option* option : command->get_options()) {
            if (!Shown(option) || option == command->get_help_ptr()) continue;
            const std::string tag = option->get_positional() ? Italic(option->get_name(true)) +
                                                                   (Repeats(option) ? "..." : "")
                                                             : OptionRoff(option);
            entries += ".TP\n" + tag + "\n" + Sentence(option->get_description()) + "\n";
        }
        if (!entries.empty()) page += ".RS\n" + entries + ".RE\n";
    }
    page += ".SH OPTIONS\n";
    for (const CLI::Option* option : app.get_options()) {
        if (!Shown(option)) continue;
        page += ".TP\n" + OptionRoff(option) + "\n" + Sentence(option->get_description()) + "\n";
    }
    return page;
}

}  // namespace vexlor::cli
