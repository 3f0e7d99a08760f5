// The headless system printer against the private CUPS that scripts/test
// starts: printers are listed by name and a job reaches the queue.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "output/LpSystemPrinter.h"

namespace kps::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(LpSystemPrinterTest, ListsTheQueuesAndHandsAJobToTheChosenOne) {
    const char* queue = std::getenv("KPS_TEST_CUPS_PRINTER");
    const char* output = std::getenv("KPS_TEST_CUPS_OUTPUT");
    if (queue == nullptr || output == nullptr) {
        GTEST_SKIP() << "no CUPS printer: scripts/test starts one";
    }
    LpSystemPrinter printer;
    ASSERT_TRUE(SelectSystemPrinterByName(printer, " kps_pdf"));

    const fs::path pdf = fs::path(output) / "ticket.pdf";
    std::error_code ec;
    const auto before = fs::last_write_time(pdf, ec);
    printer.PrintLine("*TABLE EXCHANGE*");
    printer.PrintLine("From -> T1");
    ASSERT_TRUE(printer.EndJob());

    bool written = false;
    for (auto deadline = std::chrono::steady_clock::now() + 60s;
         !written && std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(250ms)) {
        written =
            fs::exists(pdf) && fs::file_size(pdf) > 0 && (ec || fs::last_write_time(pdf) != before);
    }
    EXPECT_TRUE(written) << "no page came out of " << queue;

    // A job with nothing in it, or for a queue that does not exist, is not handed over.
    EXPECT_FALSE(printer.EndJob());
    printer.SelectPrinter("KPS_NO_SUCH_QUEUE");
    printer.PrintLine("lost");
    EXPECT_FALSE(printer.EndJob());
}

}  // namespace
}  // namespace kps::test
