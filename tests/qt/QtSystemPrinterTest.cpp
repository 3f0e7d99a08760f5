#include <QFontDatabase>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "output/SystemPrinter.h"
#include "output/qt/QtPrinterFont.h"
#include "output/qt/QtSystemPrinter.h"

namespace kps::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr qreal kBase = 9;

TEST(QtPrinterFontTest, ReceiptFontNamesBecomeScaledFixedPitchFonts) {
    const QString fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    struct Case {
        const char* name;
        qreal points;
        int stretch;  // width against height; scales are held to one to eight
    };
    const Case cases[] = {{"FONTB1X1", kBase, 100},
                          {"FONTB1X2", 2 * kBase, 50},
                          {" fontb2x1 ", kBase, 200},
                          {"FONTA2X2", 2 * kBase, 100},
                          {"FONTB1X20", 8 * kBase, 12},
                          {"No Such Font Anywhere", kBase, 100},
                          {"", kBase, 100},
                          {"FONTB0X9", 8 * kBase, 12}};
    for (const Case& c : cases) {
        const QFont font = PrinterFontFor(c.name, kBase);
        EXPECT_EQ(font.family(), fixed) << c.name;
        EXPECT_EQ(font.pointSizeF(), c.points) << c.name;
        EXPECT_EQ(font.stretch(), c.stretch) << c.name;
    }
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    const QFont installed = PrinterFontFor(families.front(), kBase);
    EXPECT_EQ(installed.family(), families.front());
    EXPECT_EQ(installed.pointSizeF(), kBase);
}

TEST(QtSystemPrinterTest, AJobOnAMissingPrinterIsNotHandedOver) {
    QtSystemPrinter printer;
    EXPECT_TRUE(printer.EndJob());  // nothing printed, nothing to hand over

    printer.SelectPrinter("No Such Printer 7f3a");
    printer.PrintLine("lost line");
    printer.PrintLine("another");
    EXPECT_FALSE(printer.EndJob());
    EXPECT_TRUE(printer.EndJob());  // the failure belonged to that job only
}

// The PDFs in the folder and when each was last written.
std::map<fs::path, fs::file_time_type> PdfFiles(const fs::path& folder) {
    std::map<fs::path, fs::file_time_type> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".pdf") {
            files[entry.path()] = entry.last_write_time(error);
        }
    }
    return files;
}

QString PdfText(const fs::path& pdf) {
    QProcess process;
    process.start("pdftotext", {"-layout", QString::fromStdString(pdf.string()), "-"});
    if (!process.waitForFinished(10000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of the first PDF written since `before` that holds `lastLine`.
QString WaitForNewPdf(const fs::path& folder, const std::map<fs::path, fs::file_time_type>& before,
                      const QString& lastLine) {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        for (const auto& [pdf, written] : PdfFiles(folder)) {
            const auto old = before.find(pdf);
            if (old == before.end() || old->second != written) {
                // CUPS may still be writing it; a whole file holds the last line.
                if (const QString text = PdfText(pdf); text.contains(lastLine)) {
                    return text;
                }
            }
        }
        std::this_thread::sleep_for(250ms);
    }
    return {};
}

TEST(QtSystemPrinterTest, PrintsATicketOnTheCupsPdfPrinterChosenByName) {
    const char* queue = std::getenv("KPS_TEST_CUPS_PRINTER");
    const char* output = std::getenv("KPS_TEST_CUPS_OUTPUT");
    if (queue == nullptr || output == nullptr) {
        GTEST_SKIP() << "no CUPS PDF printer: KPS_TEST_CUPS_PRINTER and KPS_TEST_CUPS_OUTPUT "
                        "are set by kps_cups_start (scripts/lib/cups.sh), which says why it "
                        "could not start CUPS";
    }
    const fs::path folder = output;
    const auto before = PdfFiles(folder);
    const std::string tag =
        std::to_string(std::chrono::system_clock::now().time_since_epoch() / 1ms % 1000000);

    // Device names are matched trimmed and in capitals.
    std::string lowerName = queue;
    for (char& c : lowerName) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    // As a lane prints: the print support loaded on the GUI thread, the
    // printer made and used on a thread of its own.
    const SystemPrinterFactory makePrinter = QtSystemPrinter::Factory();
    bool selected = false;
    bool handedOver = false;
    std::thread lane([&] {
        const std::unique_ptr<SystemPrinter> printer = makePrinter();
        selected = SelectSystemPrinterByName(*printer, " " + lowerName);
        printer->SetFontName("FONTB2X1");
        printer->PrintLine("TABLE " + tag);
        printer->SetFontName("FONTB1X1");
        printer->PrintLine("2 Soup " + tag);
        printer->SetColour(255, 0, 0);
        printer->PrintLine("NO ONIONS " + tag);
        printer->SetColour(0, 0, 0);
        handedOver = printer->EndJob();
    });
    lane.join();
    ASSERT_TRUE(selected);
    ASSERT_TRUE(handedOver);

    const QString text = WaitForNewPdf(folder, before, QString::fromStdString("NO ONIONS " + tag));
    ASSERT_FALSE(text.isEmpty()) << "no PDF with the ticket appeared in " << folder;
    const auto first = text.indexOf(QString::fromStdString("TABLE " + tag));
    const auto second = text.indexOf(QString::fromStdString("2 Soup " + tag));
    const auto third = text.indexOf(QString::fromStdString("NO ONIONS " + tag));
    EXPECT_GE(first, 0) << text.toStdString();
    EXPECT_GT(second, first) << text.toStdString();
    EXPECT_GT(third, second) << text.toStdString();
}

}  // namespace
}  // namespace kps::test
