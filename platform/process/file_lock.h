// An exclusive lock on a file of our own, taken without waiting: who plays a
// display's music, and whether a saver of ours is already up. The kernel
// releases it when the process ends, however it ends.
#pragma once

#include <string>

namespace platform {

enum class FileLock { Taken, HeldByAnother, NoLock };

// Locks the file `path` (made when missing, mode 0600). Taken: `fd` holds
// the lock until it is closed (close-on-exec, so programs started later do
// not hold it). HeldByAnother: someone else has it. NoLock: the path is
// empty, or the file cannot be opened as the user's own plain file; no
// symbolic link is followed, since the folder's name comes from the
// environment.
FileLock lockFile(const std::string& path, int& fd);

}  // namespace platform
