#pragma once

#include <string>
#include <vector>

namespace kps::bench {

// Figures of several servers side by side on standard output: the servers
// numbered, then rows of a name and one cell per server.
void PrintServers(const std::vector<std::string>& servers);
void PrintRow(const std::string& name, const std::vector<std::string>& cells);

// Three decimals below 10, whole above.
std::string Figure(double value);

}  // namespace kps::bench
