// Fuzz target: arbitrary bytes as an OPT file, compared with itself (opened a second time), which
// must give no difference, and with a copy of itself with one byte changed, whose every
// difference line is written.
#include <cstdlib>

#include "FuzzInput.h"
#include "compare/DifferenceText.h"
#include "compare/FileComparison.h"

namespace {

void WriteLines(const vexlor::OptDocument& a, const vexlor::OptDocument& b,
                const vexlor::FileComparison& comparison) {
    size_t characters = 0;
    for (const auto& difference : comparison.Fields)
        characters += vexlor::DifferenceLine(a, b, difference).size();
    for (const auto& records : comparison.Records)
        characters += vexlor::DifferenceLine(a, b, records).size();
    for (const auto& block : comparison.Blocks)
        characters += vexlor::DifferenceLine(a, b, block).size();
    characters += vexlor::ComparisonSummary(comparison).size();
    if (characters == 0) std::abort();  // the summary is never empty
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vexlor::fuzz::OpenedInput input(data, size);
    const vexlor::OptDocument& a = input.Document();
    if (!a.OptLoaded() || !a.NotOptReason().empty()) return 0;

    vexlor::OptDocument same;
    same.SetWalkBudget(vexlor::fuzz::kBudget);
    same.OpenBytes(std::vector<uint8_t>(data, data + size), "same.opt");
    const vexlor::FileComparison itself = vexlor::CompareFiles(a, same);
    if (!itself.Same()) std::abort();
    WriteLines(a, same, itself);

    // One byte changed, chosen by the input, and a tolerance.
    std::vector<uint8_t> changed(data, data + size);
    const size_t at = size > 0 ? data[size - 1] * 31U % size : 0;
    if (!changed.empty()) changed[at] ^= 0x5A;
    vexlor::OptDocument other;
    other.SetWalkBudget(vexlor::fuzz::kBudget);
    other.OpenBytes(std::move(changed), "changed.opt");
    if (!other.NotOptReason().empty()) return 0;
    WriteLines(a, other, vexlor::CompareFiles(a, other, {.Tolerance = 0.5}));
    return 0;
}
