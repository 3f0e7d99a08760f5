#include "harness/FigureRows.h"

#include <iomanip>
#include <iostream>
#include <sstream>

namespace kps::bench {

void PrintServers(const std::vector<std::string>& servers) {
    std::vector<std::string> heads;
    for (std::size_t i = 0; i < servers.size(); ++i) {
        std::cout << "[" << i + 1 << "] " << servers[i] << "\n";
        std::string head = "[";
        head += std::to_string(i + 1);
        head += "]";
        heads.push_back(head);
    }
    PrintRow("", heads);
}

void PrintRow(const std::string& name, const std::vector<std::string>& cells) {
    std::cout << std::left << std::setw(52) << name;
    for (const std::string& cell : cells) {
        std::cout << std::setw(26) << cell;
    }
    std::cout << "\n";
}

std::string Figure(double value) {
    std::ostringstream out;
    out << std::fixed << std::setprecision(value < 10 ? 3 : 0) << value;
    return out.str();
}

}  // namespace kps::bench
