#include "output/LpSystemPrinter.h"

#include <memory>

#include "text/Text.h"

namespace kps {

SystemPrinterFactory LpSystemPrinter::Factory(int codePage) {
    return [codePage] { return std::make_unique<LpSystemPrinter>(codePage); };
}

std::vector<std::string> LpSystemPrinter::PrinterNames() {
    std::string listing;
    std::vector<std::string> names;
    if (!RunBoundedTool({"lpstat", "-e"}, "", &listing, limits_)) {
        return names;
    }
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos) {
            end = listing.size();
        }
        if (end > start) {
            names.push_back(listing.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

void LpSystemPrinter::PrintLine(const std::string& text) {
    job_ += ToCodePage(text, codePage_);
    job_ += "\r\n";
}

bool LpSystemPrinter::EndJob() {
    std::vector<std::string> argv{"lp", "-s"};
    if (!current_.empty()) {
        argv.push_back("-d");
        argv.push_back(current_);
    }
    std::string job;
    job.swap(job_);
    return !job.empty() && RunBoundedTool(argv, job, nullptr, limits_);
}

}  // namespace kps
