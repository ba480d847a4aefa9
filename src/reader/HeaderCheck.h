// A first look at a file's header: whether it could belong to an OPT file at all. The walk reads
// any file it is given; a PNG or a text file would otherwise only show a tree of nonsense.
#pragma once

#include <string>

#include "reader/OptStream.h"

namespace vexlor {

// Why the header does not look like an OPT file's, e.g. "its mesh count 21060 is more than its
// 1204 bytes can hold"; empty when it could be one. A file shorter than the header is none (the
// walk also reports it as cut off), and a header that gives a larger size than the file has
// is taken for that of a file whose end is missing, not for a sign of another kind of file.
// Moves the stream.
std::string NotOptReason(const OptStream& stream);

}  // namespace vexlor
