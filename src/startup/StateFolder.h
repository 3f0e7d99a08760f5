#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "startup/GeneralSetup.h"

namespace kps {

// The folder of the server's own state: `stateDirectory` (systemd's
// $STATE_DIRECTORY, its first entry) when set, else [PrintServer]
// StateFolder (relative to the settings file), else the print log's folder
// DrivePath/LOG.
std::string ResolveStateFolder(const GeneralSetup& setup,
                               const std::optional<std::string>& stateDirectory);

// The same, with $STATE_DIRECTORY read from the environment.
std::string ResolveStateFolder(const GeneralSetup& setup);

// Writes `bytes` so that a reader sees the old file or the whole new one,
// even across a power cut: a temporary name, fsync, rename, fsync of the
// folder. The folder is created when missing. Throws KpsError.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace kps
