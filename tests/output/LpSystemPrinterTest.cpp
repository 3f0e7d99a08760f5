// The headless system printer against the private CUPS that scripts/test
// starts: printers are listed by name and a job reaches the queue. With a
// fake `lp`: a hung one is ended, and none inherits the server's signals.

#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "output/LpSystemPrinter.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A shell script as `lp`, first on PATH while the object lives.
class FakeLp {
  public:
    explicit FakeLp(const std::string& script) : path_(std::getenv("PATH")) {
        WriteBytes(folder_.File("lp"), "#!/bin/sh\n" + script);
        fs::permissions(folder_.File("lp"), fs::perms::owner_all);
        ::setenv("PATH", (folder_.Path() + ":" + path_).c_str(), 1);
    }
    ~FakeLp() { ::setenv("PATH", path_.c_str(), 1); }
    FakeLp(const FakeLp&) = delete;
    FakeLp& operator=(const FakeLp&) = delete;

    std::string File(const std::string& name) const { return folder_.File(name); }

  private:
    TempFolder folder_;
    std::string path_;
};

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

TEST(LpSystemPrinterTest, EndsAnLpThatHangsAndFailsTheJob) {
    FakeLp lp("echo $$ > \"$(dirname \"$0\")/pid\"\ntrap '' TERM\nexec sleep 60\n");
    LpSystemPrinter printer(1252, {500ms, 200ms});
    printer.PrintLine("2 Soup");
    EXPECT_FALSE(printer.EndJob());

    std::ifstream pidFile(lp.File("pid"));
    pid_t pid = 0;
    ASSERT_TRUE(pidFile >> pid);
    EXPECT_NE(::kill(pid, 0), 0) << "lp still there, or never reaped";
}

TEST(LpSystemPrinterTest, StartsLpWithEverySignalUnblockedAndAtItsDefault) {
    // Read by the shell itself: a command it starts may see the signals
    // the shell blocks while starting it.
    FakeLp lp(
        "while read -r name value; do case $name in Sig[BI]*) echo $name $value;; esac; done"
        " < /proc/$$/status > \"$(dirname \"$0\")/signals\"\ncat > /dev/null\n");
    // As on the server's threads: its stop signals blocked, SIGPIPE ignored.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGHUP);
    sigset_t mask;
    ::pthread_sigmask(SIG_BLOCK, &stops, &mask);
    auto pipeAction = std::signal(SIGPIPE, SIG_IGN);

    LpSystemPrinter printer;
    printer.PrintLine("2 Soup");
    const bool handedOver = printer.EndJob();
    std::signal(SIGPIPE, pipeAction);
    ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);

    EXPECT_TRUE(handedOver);
    unsigned long long blockedBits = ~0ULL;
    unsigned long long ignoredBits = ~0ULL;
    ASSERT_EQ(std::sscanf(ReadBytes(lp.File("signals")).c_str(), "SigBlk: %llx SigIgn: %llx",
                          &blockedBits, &ignoredBits),
              2);
    EXPECT_EQ(blockedBits, 0u);
    // Signals 32 and 33 belong to the C library, which starts every child
    // with them ignored; no program may use them.
    EXPECT_EQ(ignoredBits & 0x7fffffffULL, 0u);
}

}  // namespace
}  // namespace kps::test
