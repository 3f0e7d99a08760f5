#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sending/LaneDestination.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

PrintJob Network(const std::string& device, const std::string& address) {
    PrintJob job;
    job.device = device;
    job.printingType = "O";
    job.address = address;
    return job;
}

PrintJob Direct(const std::string& device, const std::string& port) {
    PrintJob job;
    job.device = device;
    job.printingType = "D";
    job.directPort = port;
    return job;
}

TEST(LaneDestinationTest, NamesLeadingToOnePrinterHaveOneDestination) {
    TempFolder folder;
    WriteBytes(folder.File("PosPrinters.ini"),
               "[GRILL]\r\nHost=Kitchen.Local\r\n"
               "[FRYER]\r\nHost=kitchen.local\r\nPort=9100\r\n"
               "[PASS]\r\nHost=kitchen.local\r\nPort=9101\r\n");
    const PosPrinterRegistry registry(folder.File("PosPrinters.ini"), 1252);
    auto to = [&](const PrintJob& job) { return LaneDestination(job, registry); };

    EXPECT_EQ(to(Network("GRILL", "10.0.0.1")), "kitchen.local:9100");
    EXPECT_EQ(to(Network("FRYER", "10.0.0.2")), "kitchen.local:9100");
    EXPECT_EQ(to(Network("PASS", "10.0.0.1")), "kitchen.local:9101");
    EXPECT_EQ(to(Network("BAR", "10.0.0.7")), "10.0.0.7:9100");

    EXPECT_EQ(to(Direct("D1", "lpt1")), "LPT1");
    EXPECT_EQ(to(Direct("D2", "LPT1:")), "LPT1");
    std::filesystem::create_directory(folder.File("sub"));
    EXPECT_EQ(to(Direct("D3", folder.File("sub/../d.prn"))),
              to(Direct("D4", folder.File("./d.prn"))));
    EXPECT_NE(to(Direct("D5", folder.File("sub/d.prn"))), to(Direct("D4", folder.File("d.prn"))));
}

}  // namespace
}  // namespace kps::test
