// What every command of `vexlor` gets besides its own options.
#pragma once

#include <string>

#include "reader/NumberText.h"

namespace vexlor::cli {

struct CommandContext {
    std::string NamesFolder;  // --names DIR; empty for the usual places
    NumberText Numbers;       // the report's number texts, with the user's decimal separator
};

}  // namespace vexlor::cli
