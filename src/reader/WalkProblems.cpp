// Keeping the walk's problems.
#include "reader/WalkProblems.h"

#include <algorithm>

namespace vexlor {

std::string_view ProblemKindName(ProblemKind kind) {
    switch (kind) {
        case ProblemKind::NotOptFile:
            return "not an OPT file";
        case ProblemKind::ShortFile:
            return "file cut short";
        case ProblemKind::NegativeCount:
            return "negative count";
        case ProblemKind::CountCut:
            return "count cut to the file";
        case ProblemKind::ShortHeader:
            return "block header cut off";
        case ProblemKind::ShortPayload:
            return "payload cut off";
        case ProblemKind::OutsideFile:
            return "offset outside the file";
        case ProblemKind::LeadsBack:
            return "slot leads back";
        case ProblemKind::BadIndex:
            return "index outside its table";
        case ProblemKind::WalkStopped:
            return "walk stopped";
        case ProblemKind::LeftOut:
            return "more problems";
    }
    return "problem";
}

void WalkProblems::Clear() {
    kept_.clear();
    count_ = 0;
    seen_.clear();
    blocks_.clear();
}

void WalkProblems::Add(ProblemKind kind, int64_t block, int64_t offset, std::string_view text) {
    ++count_;
    if (kept_.size() < kKept) kept_.push_back({kind, block, offset, std::string(text)});
    seen_.insert(block);
}

void WalkProblems::Finish() {
    if (count_ > static_cast<int64_t>(kKept) && kept_.size() == kKept)
        kept_.push_back({ProblemKind::LeftOut, -1, -1,
                         "and " + std::to_string(count_ - static_cast<int64_t>(kKept)) + " more"});
    blocks_.assign(seen_.begin(), seen_.end());
    std::sort(blocks_.begin(), blocks_.end());
    seen_.clear();
}

bool WalkProblems::BlockHasProblems(int64_t block) const {
    return std::binary_search(blocks_.begin(), blocks_.end(), block);
}

}  // namespace vexlor
