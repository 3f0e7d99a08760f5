// fake-receipt-printer: a network receipt printer on a loopback address that
// records what it is sent, or a reader of a recorded job.

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>

#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "output/EscPosDecoder.h"
#include "text/KpsError.h"

namespace {

constexpr std::string_view kUsage =
    "usage: fake-receipt-printer [--listen HOST:PORT] [--output DIR] [--decode]\n"
    "                            [--state online|offline|paperout|coveropen|stall]\n"
    "                            [--print-ms N] [--timeline FILE] [--double-byte SET]\n"
    "       fake-receipt-printer [--double-byte SET] --decode FILE\n"
    "Listens on HOST:PORT (default 127.0.0.1:9100, a loopback address; port 0 picks\n"
    "a free one), records every job (one connection) to DIR/job-NNNN.prn and with\n"
    "--decode prints each job as readable text. A ticket takes N ms to print\n"
    "(default 0): GS r and GS ( H are answered once the data before them is\n"
    "printed. --timeline appends a line per ticket (each ESC @ begins one) when\n"
    "its job ends: job NUMBER MICROSECONDS-SINCE-EPOCH-OF-ITS-ESC-@ TEXT, the\n"
    "ticket's text on one line. A stalled printer (stall, also called silent)\n"
    "takes every job and answers nothing. SIGTERM or SIGINT ends it. Text between\n"
    "FS & and FS . is read in SET: GB18030 (default), Big5, Shift_JIS or EUC-KR.\n";

int Usage(const std::string& problem) {
    std::cerr << "fake-receipt-printer: " << problem << "\n" << kUsage;
    return 2;
}

int DecodeFile(const std::string& path, const std::string& doubleByte) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "fake-receipt-printer: cannot read " << path << "\n";
        return 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    std::cout << kps::DecodeEscPos(bytes, doubleByte) << std::flush;
    return 0;
}

// The decoded ticket as one line: its lines joined by " | ".
std::string OneLine(std::string_view bytes, const std::string& doubleByte) {
    std::string line;
    std::istringstream text(kps::DecodeEscPos(bytes, doubleByte));
    for (std::string part; std::getline(text, part);) {
        if (part.empty()) {
            continue;
        }
        line += line.empty() ? part : " | " + part;
    }
    return line;
}

void AppendTimeline(const std::string& path, const kps::FakeReceiptPrinter::Job& job,
                    const std::string& doubleByte) {
    std::ostringstream lines;
    const auto tickets = kps::FakeReceiptPrinter::TicketBytes(job);
    for (std::size_t i = 0; i < tickets.size(); ++i) {
        lines << "job " << job.number << " " << job.tickets[i].arrivedUs << " "
              << OneLine(tickets[i], doubleByte) << "\n";
    }
    std::ofstream file(path, std::ios::app);
    file << lines.str() << std::flush;
    if (!file) {
        std::cerr << "fake-receipt-printer: cannot append to " << path << "\n";
    }
}

int Run(kps::FakeReceiptPrinter::Options options, kps::FakePrinterState state, bool decode,
        const std::string& timeline, const std::string& doubleByte) {
    // Blocked before the printer's thread starts, so only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    kps::FakeReceiptPrinter printer(options);
    printer.SetState(state);
    printer.SetJobListener([decode, timeline, doubleByte](const kps::FakeReceiptPrinter::Job& job) {
        if (job.bytes.empty()) {
            return;  // a connection that only checked the printer is there
        }
        if (!timeline.empty()) {
            AppendTimeline(timeline, job, doubleByte);
        }
        if (decode) {
            std::ostringstream text;
            text << "--- job " << job.number << " (" << job.bytes.size() << " bytes) ---\n"
                 << kps::DecodeEscPos(job.bytes, doubleByte) << "\n";
            std::cout << text.str() << std::flush;
        }
    });
    std::cout << "fake-receipt-printer: listening on " << options.address << ":" << printer.Port()
              << std::endl;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    kps::FakeReceiptPrinter::Options options;
    options.port = 9100;
    kps::FakePrinterState state = kps::FakePrinterState::Online;
    bool decode = false;
    std::string timeline;
    std::string doubleByte = "GB18030";
    std::string decodeFile;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc && std::string_view(argv[i + 1]).substr(0, 2) != "--";
        if (argument == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (argument == "--decode") {
            if (hasValue) {
                decodeFile = argv[++i];
            }
            decode = true;
        } else if (argument == "--double-byte" && hasValue) {
            doubleByte = argv[++i];
        } else if (argument == "--listen" && hasValue) {
            const std::string value = argv[++i];
            const auto colon = value.rfind(':');
            unsigned port = 0;
            char rest = 0;
            if (colon == std::string::npos ||
                std::sscanf(value.c_str() + colon + 1, "%u%c", &port, &rest) != 1 || port > 65535) {
                return Usage("--listen wants HOST:PORT, not " + value);
            }
            options.address = value.substr(0, colon);
            options.port = static_cast<std::uint16_t>(port);
        } else if (argument == "--print-ms" && hasValue) {
            unsigned ms = 0;
            char rest = 0;
            if (std::sscanf(argv[++i], "%u%c", &ms, &rest) != 1 || ms > 600000) {
                return Usage(std::string("--print-ms wants milliseconds, not ") + argv[i]);
            }
            options.printMs = static_cast<int>(ms);
        } else if (argument == "--timeline" && hasValue) {
            timeline = argv[++i];
        } else if (argument == "--output" && hasValue) {
            options.outputFolder = argv[++i];
        } else if (argument == "--state" && hasValue) {
            const auto parsed = kps::ParseFakePrinterState(argv[++i]);
            if (!parsed) {
                return Usage(std::string("unknown state ") + argv[i]);
            }
            state = *parsed;
        } else {
            return Usage("unexpected argument " + argument);
        }
    }
    if (!decodeFile.empty()) {
        return DecodeFile(decodeFile, doubleByte);
    }
    try {
        return Run(options, state, decode, timeline, doubleByte);
    } catch (const kps::KpsError& error) {
        std::cerr << error.Description() << "\n";
        return 1;
    }
}
