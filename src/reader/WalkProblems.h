// The problems the walk of an open finds in a file: each "!!" line of the report, with its kind,
// the block it was found in and the place in the file it is about. The open keeps them in the
// OptModel, so the window can show a broken file's problems without writing a report.
//
// A file can hold millions of problems (every corner of every face with a bad index), so only
// the first kKept are kept, followed by one entry that says how many more there were. The blocks
// with problems are all kept: there is at most one entry per block the walk reached.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace vexlor {

enum class ProblemKind : uint8_t {
    NotOptFile,     // "!! this does not look like an OPT file: ..."
    ShortFile,      // "!! the file is only ... bytes long", "!! the header gives a file size ..."
    NegativeCount,  // "!! ... negative count ..., nothing read"
    CountCut,       // "!! ...: the file holds N of M, the rest are not read"
    ShortHeader,    // "!! block header at offset ... runs past the end of the file"
    ShortPayload,   // "!! ... payload at offset ... runs past the end of the file"
    OutsideFile,    // "!! Mesh ... outside the file", "!! Jump address ... outside the file"
    LeadsBack,      // "!! Jump address ... leads back to the block ... on the current path"
    BadIndex,       // "!! corner ...: ... index ... is outside the ... table"
    WalkStopped,    // "!! walk stopped: ..."
    LeftOut,        // the last entry when there were more than kKept: "and N more"
};

// A short name of the kind ("count cut to the file"), as the findings panel shows it.
std::string_view ProblemKindName(ProblemKind kind);

struct WalkProblem {
    ProblemKind Kind = ProblemKind::CountCut;
    int64_t Block = -1;   // file position of the block it was found in (its BlockTable offset)
    int64_t Offset = -1;  // the file position it is about; may lie outside the file
    std::string Text;     // its report line, as the report writes it
};

class WalkProblems {
  public:
    static constexpr size_t kKept = 1000;

    void Clear();
    void Add(ProblemKind kind, int64_t block, int64_t offset, std::string_view text);
    // After the walk: the "and N more" entry, and the blocks in order.
    void Finish();

    // The first kKept problems, then the LeftOut entry if there were more.
    const std::vector<WalkProblem>& Kept() const { return kept_; }
    // How many the walk found.
    int64_t Count() const { return count_; }
    // The file positions of the blocks with problems, ascending, each once.
    const std::vector<int64_t>& Blocks() const { return blocks_; }
    bool BlockHasProblems(int64_t block) const;

  private:
    std::vector<WalkProblem> kept_;
    int64_t count_ = 0;
    std::unordered_set<int64_t> seen_;
    std::vector<int64_t> blocks_;
};

}  // namespace vexlor
