#pragma once
// One running copy per user session: a lock file held for the life of the
// process. The lock lives in $XDG_RUNTIME_DIR (else /tmp, with the user id in
// the name), so every copy the user starts finds it; the system releases it
// when the process ends, a crash included. A child process made by fork
// holds none of the locks: it drops them as it starts.

#include <string>
#include <string_view>

namespace plat {

// Takes the named lock and keeps it until the process ends; false when
// another process holds it. A lock that cannot even be created (no writable
// folder) is not a reason to refuse: true. Taking it twice in one process
// answers true.
[[nodiscard]] bool AcquireInstanceLock(std::string_view name);

// One running copy per program folder as well: a copy started under another
// runtime folder (another login, another account) must not touch the files
// of the copy running on the folder. A hidden lock file in the folder that
// every account able to write the folder can open, held until
// ReleaseFolderLocks or the end of the process; the file itself stays.
// False when another process holds it, or when something at its name cannot
// be opened as the lock (refusal then names it and says why; empty when
// another process holds it). Nothing there and nothing can be made (the
// folder is not writable) is not a reason to refuse. Taking it twice in one
// process answers true.
[[nodiscard]] bool AcquireFolderLock(const std::string& folder, std::string_view name, std::string& refusal);
void ReleaseFolderLocks();

// Where the named lock's file lives.
std::string GetInstanceLockPath(std::string_view name);

} // namespace plat
