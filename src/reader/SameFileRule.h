// The rule every writer of both programs follows before it reads or writes anything: an output is
// never the same file as one of its inputs. "The same file" is the same device and inode, however
// the two paths name it (a symbolic link, a hard link, "../", a bind mount); an input that does not
// exist is the output when both paths name the same place.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "reader/Result.h"

namespace vexlor {

class InputFiles {
  public:
    explicit InputFiles(const std::vector<std::string>& inputs);

    // Ok when `output` is none of the inputs; else the failure "Cannot write OUT: it is the same
    // file as the input IN".
    Result Admit(const std::string& output) const;

  private:
    std::map<std::pair<dev_t, ino_t>, std::string> found_;  // the inputs that exist, by identity
    std::vector<std::pair<std::string, std::string>> missing_;  // path, its place
};

// The rule for one input and one output.
Result RefuseSameFile(const std::string& input, const std::string& output);

}  // namespace vexlor
