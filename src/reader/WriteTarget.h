// Where a save or an export writes, and whether it may replace what is there: the one rule for
// every writer of the programs (AtomicFile, the export's files, the pictures).
#pragma once

#include <string>

#include "reader/Result.h"

namespace vexlor {

// The file that writing to `path` replaces: `path` itself, or, when it is a symbolic link, the
// file the link names (followed to the end; a relative link from its own folder), so that the
// link stays a link. A failure ("Cannot create file PATH") when the links loop or cannot be read.
Expected<std::string> ResolveWriteTarget(const std::string& path);

// Whether the existing file at `path` may be replaced: Ok when it may or does not exist, else a
// failure ("Cannot create file PATH") whose reason says why.
// A folder, a device, a pipe or a socket is never replaced, nor is a file the user may not write
// or one without any write permission: the owner has made it read-only, and even a user whom the
// system lets write anything (root) keeps away from it. Nor is a file with other hard links: a
// new file renamed into its place would leave them with the old bytes, silently split.
Result MayReplace(const std::string& path);

// The folder of a path ("." for a bare name, "/" for a name at the root) and its last component.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// The start of the name of a write's temporary file or folder beside its target:
// ".vexlor-KIND-PID-" (KIND "save" or "export", PID this process's), then six random characters.
std::string TemporaryPrefix(const std::string& kind);

// Removes from `folder` what writes ended outright (SIGKILL, a crash) left behind: the files and
// folders named exactly as TemporaryPrefix names them (a "save" file, an "export" folder with the
// files in it) whose process is gone. Nothing else is touched, nor what a living process writes.
void RemoveLeftovers(const std::string& folder);

// Creates a new file in `folder` named `prefix` and six random characters, open for writing
// (close-on-exec), with the permissions a new file gets there: 0666 less the umask, which the
// kernel applies. Returns the descriptor and sets `path`, or -1 with errno set.
int CreateUniqueFile(const std::string& folder, const std::string& prefix, std::string& path);

}  // namespace vexlor
