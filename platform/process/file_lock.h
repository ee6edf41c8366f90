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

// True when another holder has the lock on `path` right now. The file is
// neither made nor kept: a missing file, or one that is not the user's own
// plain file, is held by nobody. A lock this process took through another
// descriptor counts as held too (flock locks belong to the open file).
bool fileLockHeld(const std::string& path);

// The per-user run lock that every standalone renderer holds while it runs
// (see renderer/shell/run_lock.h): in the user's runtime folder, or empty
// when there is none (unset, empty or relative), and then there is no lock.
std::string saverRunLockPath(const char* xdgRuntimeDir);

}  // namespace platform
