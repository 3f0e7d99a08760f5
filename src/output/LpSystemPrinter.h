#pragma once

#include <string>
#include <vector>

#include "output/BoundedTool.h"
#include "output/SystemPrinter.h"

namespace kps {

// The system printers of a machine without a window system, reached through
// the CUPS command-line tools: the names from `lpstat -e`, the job handed to
// `lp` as plain text in the code page. Font names and colours cannot be sent
// as plain text and are left to the printer's defaults. A tool that hangs
// is ended after `limits`, and its job failed.
class LpSystemPrinter final : public SystemPrinter {
  public:
    explicit LpSystemPrinter(int codePage = 1252, ToolLimits limits = {})
        : codePage_(codePage), limits_(limits) {}

    // Makes one printer of this kind per call, for a lane of its own.
    static SystemPrinterFactory Factory(int codePage);

    std::vector<std::string> PrinterNames() override;
    void SelectPrinter(const std::string& name) override { current_ = name; }
    void SetFontName(const std::string&) override {}
    void SetColour(int, int, int) override {}
    void PrintLine(const std::string& text) override;
    bool EndJob() override;

  private:
    int codePage_;
    ToolLimits limits_;
    std::string current_;  // empty: the system's default printer
    std::string job_;
};

}  // namespace kps
