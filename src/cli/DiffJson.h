// A comparison of two files as JSON, for scripts: the same differences `vexlor diff` lists, each
// with its parts named. Written an entry at a time (one a line), since two large models can differ
// in millions of values.
#pragma once

#include <functional>
#include <string_view>

#include "compare/FileComparison.h"

namespace vexlor::cli {

// {"same", "summary", "notes", "fields": [each as FieldChangeJson gives it, A's value "old" and
//  B's "new", the same keys as a repair's change], "records": [...], "blocks": [...]}
void WriteComparisonJson(const OptDocument& a, const OptDocument& b,
                         const FileComparison& comparison,
                         const std::function<void(std::string_view)>& write);

}  // namespace vexlor::cli
