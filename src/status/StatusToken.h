#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kps {

// The secret that lets a browser or a script act on the printers through
// the status page; reading the page needs none. Kept in the state folder,
// readable by the server's user only, so `--status-token` finds it the way
// `--reprint` finds the folder.
std::string StatusTokenFile(const std::string& stateFolder);

// The token, made (32 random bytes as hex, mode 0600) when the file is
// missing or does not hold one. Throws KpsError when the folder cannot be
// written or the file is a link or belongs to another user.
std::string LoadStatusToken(const std::string& stateFolder);

// The token the server made, for `--status-token`; nothing when there is
// none yet. Only a file of the reader's own (or any, for root) counts.
std::optional<std::string> ReadStatusToken(const std::string& stateFolder);

// Compares in time that does not depend on where the two differ.
bool TokensMatch(std::string_view expected, std::string_view given);

}  // namespace kps
