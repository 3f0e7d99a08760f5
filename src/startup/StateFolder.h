#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "startup/GeneralSetup.h"
#include "startup/PrintLog.h"

namespace kps {

// The folder of the server's own state: [PrintServer] StateFolder
// (relative to the settings file) when set, else `stateDirectory`
// (systemd's $STATE_DIRECTORY, its first entry), else the print log's
// folder DrivePath/LOG.
std::string ResolveStateFolder(const GeneralSetup& setup,
                               const std::optional<std::string>& stateDirectory);

// The same, with $STATE_DIRECTORY read from the environment.
std::string ResolveStateFolder(const GeneralSetup& setup);

// Creates the state folder when missing (with its parents), writable by
// this user only. Throws KpsError when it cannot be created.
void CreateStateFolder(const std::string& folder);

// Writes `bytes` so that a reader sees the old file or the whole new one,
// even across a power cut: a temporary name, fsync, rename, fsync of the
// folder. The folder is created when missing. The file is readable by its
// owner only (tickets are in it); written by root into a folder of another
// user, it is given to the folder's owner, who must read it. Throws KpsError.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Moves a state file that cannot be trusted out of the way, so it is never
// acted on and never reported again, yet stays for whoever looks into it:
// renamed to "<path>.damaged" (a number added when that is taken) and
// logged once, naming both. Returns the new name, or empty when the file
// could not be renamed (then it is removed, so it is not read again).
std::string SetAsideDamagedFile(const std::string& path, const PrintLog& log);

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace kps
