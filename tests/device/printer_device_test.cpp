// The printer device over the recording platform printer: the virtual
// printer, paper and bin matching, applying formats, metrics and faults.

#include <gtest/gtest.h>

#include <limits>

#include "device/paper_table.h"
#include "device/printer_device.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "platform/recording_printer.h"

namespace quor {
namespace {

const std::string kVirtualName = "Виртуальный принтер";

class VirtualPrinterTest : public ::testing::Test {
protected:
    RecordingPrinter platform;
    TfrPrinter device;
    void SetUp() override { device.attach(&platform); }
};

TEST_F(VirtualPrinterTest, WithoutPrintersOnlyTheVirtualPrinterIsListed) {
    EXPECT_EQ(device.printerNames(), std::vector<std::string>{kVirtualName});
    EXPECT_EQ(device.currentIndex(), 0);
    EXPECT_EQ(device.virtualIndex(), 0);
    EXPECT_TRUE(device.isVirtual());
    EXPECT_EQ(device.paperCount(), 67);
    ASSERT_EQ(device.paperNames().size(), 67u);
    for (const std::string& name : device.paperNames()) EXPECT_EQ(name, "");
    EXPECT_EQ(device.paperCodes()[0], 1);
    EXPECT_EQ(device.paperCodes()[46], 47);
    EXPECT_EQ(device.paperCodes()[47], 50);
    EXPECT_EQ(device.paperCodes()[66], 256);
    EXPECT_EQ(device.paperCode(), 9);
    EXPECT_EQ(device.sheetWidth(), 2100);
    EXPECT_EQ(device.sheetHeight(), 2970);
}

TEST_F(VirtualPrinterTest, A4PortraitMetricsInDesignPixels) {
    PrinterInfo m;
    m.devPageWidth = 11;  // the device-dot fields are left alone
    m.devPrintHeight = 22;
    device.fillMetrics(m);
    EXPECT_EQ(m.pageWidth, 758);
    EXPECT_EQ(m.pageHeight, 1071);
    EXPECT_EQ(m.offsetX, 18);
    EXPECT_EQ(m.offsetY, 18);
    EXPECT_EQ(m.printWidth, 722);
    EXPECT_EQ(m.printHeight, 1035);
    EXPECT_EQ(m.devPageWidth, 11);
    EXPECT_EQ(m.devPrintHeight, 22);
    EXPECT_EQ(m.devOffsetX, 0);
}

TEST_F(VirtualPrinterTest, A4LandscapeExchangesTheSides) {
    device.setPaper(9, 0, 0, automaticBin, 1, false);
    EXPECT_EQ(device.sheetWidth(), 2970);
    EXPECT_EQ(device.sheetHeight(), 2100);
    PrinterInfo m;
    device.fillMetrics(m);
    EXPECT_EQ(m.pageWidth, 1071);
    EXPECT_EQ(m.pageHeight, 758);
    EXPECT_TRUE(device.matches(9, 2970, 2100, automaticBin, 1));
    EXPECT_FALSE(device.matches(9, 2970, 2100, automaticBin, 0));
}

TEST_F(VirtualPrinterTest, CustomSizeKeepsItsSizeAndMatchesWithinOneWhateverTheBin) {
    device.setPaper(customPaperCode, 2000, 1500, 3, 0, false);
    EXPECT_EQ(device.paperCode(), 256);
    EXPECT_EQ(device.sheetWidth(), 2000);
    EXPECT_EQ(device.sheetHeight(), 1500);
    EXPECT_TRUE(device.matches(256, 2001, 1499, 7, 0));
    EXPECT_TRUE(device.matches(256, 1999, 1501, automaticBin, 0));
    EXPECT_FALSE(device.matches(256, 2002, 1500, 3, 0));
    EXPECT_FALSE(device.matches(256, 2000, 1498, 3, 0));
    EXPECT_FALSE(device.matches(256, 2000, 1500, 3, 1));
    EXPECT_FALSE(device.matches(9, 2000, 1500, 3, 0));
}

TEST_F(VirtualPrinterTest, CodeOutsideTheTableKeepsTheSheet) {
    device.setPaper(48, 1234, 2345, automaticBin, 0, false);
    EXPECT_EQ(device.paperCode(), 48);
    EXPECT_EQ(device.sheetWidth(), 1234);
    EXPECT_EQ(device.sheetHeight(), 2345);
    device.setPaper(11, 0, 0, automaticBin, 0, false);
    EXPECT_EQ(device.sheetWidth(), 1480);
    EXPECT_EQ(device.sheetHeight(), 2100);
}

TEST(PaperTable, HasSixtySevenRowsEndingWithTheCustomSize) {
    ASSERT_EQ(paperTable.size(), 67u);
    EXPECT_EQ(paperTable[8].code, 9);
    EXPECT_EQ(paperTable[8].width, 2100);
    EXPECT_EQ(paperTable[8].height, 2970);
    EXPECT_EQ(paperTable[34].code, 35);
    EXPECT_EQ(paperTable[34].width, 1760);
    EXPECT_EQ(paperTable[34].height, 1250);
    for (std::size_t i = 1; i < paperTable.size(); ++i) EXPECT_LT(paperTable[i - 1].code, paperTable[i].code);
    EXPECT_EQ(paperTable.back().code, 256);
    EXPECT_EQ(paperTable.back().width, 0);
}

// ---- a real printer (the recording double) ----

class RealPrinterTest : public ::testing::Test {
protected:
    RecordingPrinter platform{{RecordingPrinter::officePrinter("Office"), RecordingPrinter::officePrinter("Second")}};
    TfrPrinter device;
    void SetUp() override { device.attach(&platform); }
};

TEST_F(RealPrinterTest, ListsThePrintersWithTheVirtualPrinterLast) {
    EXPECT_EQ(device.printerNames(), (std::vector<std::string>{"Office", "Second", kVirtualName}));
    EXPECT_EQ(device.currentIndex(), 0);
    EXPECT_EQ(device.virtualIndex(), 2);
    EXPECT_FALSE(device.isVirtual());
    EXPECT_EQ(device.deviceName(), "Office");
    EXPECT_EQ(device.driverName(), "Recording driver");
    EXPECT_EQ(device.portName(), "recording:");
}

TEST_F(RealPrinterTest, ReadsPaperBinsAndOrientation) {
    EXPECT_EQ(device.paperCode(), 9);
    EXPECT_EQ(device.sheetWidth(), 2100);
    EXPECT_EQ(device.sheetHeight(), 2970);
    EXPECT_EQ(device.orientation(), 0);
    EXPECT_EQ(device.paperCount(), 3);
    EXPECT_EQ(device.paperCodes()[0], 9);
    EXPECT_EQ(device.paperCodes()[2], 11);
    EXPECT_EQ(device.paperCodes()[3], 0);
    EXPECT_EQ(device.paperNames(), (std::vector<std::string>{"A4", "Letter", "A5"}));
    EXPECT_EQ(device.binCode(), 257);
    EXPECT_EQ(device.binCount(), 3);
    EXPECT_EQ(device.binCodes()[0], 0xFFFF);
    EXPECT_EQ(device.binCodes()[1], 257);
    EXPECT_EQ(device.binCodes()[2], 4);
    EXPECT_EQ(device.binNames(), (std::vector<std::string>{"", "Tray 1", "Manual"}));
}

TEST_F(RealPrinterTest, AutomaticBinMatchesAnyBin) {
    EXPECT_TRUE(device.matches(9, 0, 0, 257, 0));
    EXPECT_FALSE(device.matches(9, 0, 0, 4, 0));
    EXPECT_TRUE(device.matches(9, 0, 0, 0xFFFF, 0));
    EXPECT_TRUE(device.matches(9, 0, 0, 0x1FFFF, 0));
    EXPECT_TRUE(device.matches(9, 0, 0, -1, 0));
    EXPECT_FALSE(device.matches(9, 0, 0, 0xFFFE, 0));
    EXPECT_FALSE(device.matches(11, 0, 0, 0xFFFF, 0));
}

TEST_F(RealPrinterTest, SetPaperPushesTheFormatAndReadsItBack) {
    device.setPaper(11, 2100, 1480, 4, 1, false);
    const DeviceMode& mode = platform.testPrinter("Office").mode;
    EXPECT_EQ(mode.paperSize, 11);
    EXPECT_EQ(mode.orientation, kDmLandscape);
    EXPECT_EQ(mode.defaultSource, 4);
    EXPECT_EQ(mode.copies, 1);
    EXPECT_EQ(device.paperCode(), 11);
    EXPECT_EQ(device.orientation(), 1);
    EXPECT_EQ(device.binCode(), 4);
    EXPECT_EQ(device.sheetWidth(), 2100);
    EXPECT_EQ(device.sheetHeight(), 1480);
    EXPECT_TRUE(device.matches(11, 0, 0, 4, 1));
}

TEST_F(RealPrinterTest, AutomaticBinKeepsThePrintersSource) {
    device.setPaper(1, 2159, 2794, automaticBin, 0, false);
    EXPECT_EQ(platform.testPrinter("Office").mode.defaultSource, 257);
    EXPECT_EQ(device.binCode(), 257);
}

TEST_F(RealPrinterTest, CustomSizeIsPushedAsOrientedAndReadBack) {
    device.setPaper(customPaperCode, 2970, 2100, automaticBin, 1, false);
    const DeviceMode& mode = platform.testPrinter("Office").mode;
    EXPECT_EQ(mode.paperSize, 256);
    EXPECT_TRUE(mode.fields & kDmPaperWidth);
    EXPECT_TRUE(mode.fields & kDmPaperLength);
    EXPECT_EQ(mode.paperWidth, 2970);
    EXPECT_EQ(mode.paperLength, 2100);
    EXPECT_EQ(device.sheetWidth(), 2970);
    EXPECT_EQ(device.sheetHeight(), 2100);
    EXPECT_TRUE(device.matches(customPaperCode, 2970, 2100, 4, 1));
    // Sizes of a damaged page at the far end of the int range never match.
    EXPECT_FALSE(device.matches(customPaperCode, std::numeric_limits<int>::min() + 2970, 2100, 4, 1));
    // Back to a standard paper clears the custom fields.
    device.setPaper(9, 0, 0, automaticBin, 0, false);
    EXPECT_FALSE(platform.testPrinter("Office").mode.fields & kDmPaperWidth);
}

TEST_F(RealPrinterTest, ForcedSetPaperAppliesEvenWhenTheFormatMatches) {
    const int installs = platform.setupInstalls;
    device.setPaper(9, 2100, 2970, automaticBin, 0, false);
    EXPECT_EQ(platform.setupInstalls, installs);
    device.setPaper(9, 2100, 2970, automaticBin, 0, true);
    EXPECT_EQ(platform.setupInstalls, installs + 1);
}

TEST_F(RealPrinterTest, SetPaperDuringAJobDoesNothingEvenWhenForced) {
    platform.beginDoc();
    const int installs = platform.setupInstalls;
    device.setPaper(11, 1480, 2100, 4, 1, true);
    EXPECT_EQ(platform.setupInstalls, installs);
    EXPECT_EQ(device.paperCode(), 9);
    EXPECT_EQ(device.orientation(), 0);
    platform.endDoc();
    device.setPaper(11, 1480, 2100, 4, 1, true);
    EXPECT_EQ(device.paperCode(), 11);
}

TEST_F(RealPrinterTest, SelectingTheCurrentIndexReadsNothing) {
    const int reads = platform.setupReads;
    device.selectPrinter(0);
    EXPECT_EQ(platform.setupReads, reads);
}

TEST_F(RealPrinterTest, SelectingPrintersSwitchesBetweenRealAndVirtual) {
    platform.testPrinter("Second").mode.paperSize = 1;
    device.selectPrinter(1);
    EXPECT_EQ(device.deviceName(), "Second");
    EXPECT_EQ(device.paperCode(), 1);
    EXPECT_EQ(device.sheetWidth(), 2159);
    EXPECT_EQ(platform.printerIndex(), 1);
    device.selectPrinter(2);
    EXPECT_TRUE(device.isVirtual());
    EXPECT_EQ(device.paperCount(), 67);
    EXPECT_EQ(device.paperCode(), 1);
    EXPECT_EQ(device.sheetWidth(), 2159);
    EXPECT_EQ(device.sheetHeight(), 2794);
    device.selectPrinter(0);
    EXPECT_EQ(device.paperCount(), 3);
}

TEST_F(RealPrinterTest, BadIndexIsRefusedAndChangesNothing) {
    EXPECT_THROW(device.selectPrinter(3), Error);
    EXPECT_THROW(device.selectPrinter(-1), Error);
    EXPECT_EQ(device.currentIndex(), 0);
    EXPECT_EQ(device.deviceName(), "Office");
}

TEST_F(RealPrinterTest, MetricsFromTheDevice) {
    PrinterInfo m;
    device.fillMetrics(m);
    // A4 at 600 dpi with 5 mm hardware margins.
    EXPECT_EQ(m.devPageWidth, 4960);
    EXPECT_EQ(m.devPageHeight, 7015);
    EXPECT_EQ(m.devOffsetX, 118);
    EXPECT_EQ(m.devOffsetY, 118);
    EXPECT_EQ(m.devPrintWidth, 4724);
    EXPECT_EQ(m.devPrintHeight, 6779);
    EXPECT_EQ(m.pageWidth, 757);
    EXPECT_EQ(m.pageHeight, 1071);
    EXPECT_EQ(m.offsetX, 18);
    EXPECT_EQ(m.offsetY, 18);
    EXPECT_EQ(m.printWidth, 721);
    EXPECT_EQ(m.printHeight, 1035);
}

TEST_F(RealPrinterTest, PropertiesDialogInstallsWhatTheUserConfirmed) {
    platform.onPropertiesDialog = [](const std::string& device, std::optional<DeviceMode>& mode) {
        EXPECT_EQ(device, "Office");
        mode->paperSize = 11;
        return true;
    };
    device.showDeviceProperties();
    EXPECT_EQ(platform.testPrinter("Office").mode.paperSize, 11);
    EXPECT_EQ(device.paperCode(), 9);  // read at the next attach or readSettings
    device.readSettings();
    EXPECT_EQ(device.paperCode(), 11);

    platform.onPropertiesDialog = [](const std::string&, std::optional<DeviceMode>& mode) {
        mode->paperSize = 1;
        return false;
    };
    const int installs = platform.setupInstalls;
    device.showDeviceProperties();
    EXPECT_EQ(platform.setupInstalls, installs);
    EXPECT_EQ(platform.testPrinter("Office").mode.paperSize, 11);
}

TEST(PrinterDevice, LoadNamesRenamesTheLastEntry) {
    RecordingPrinter platform({RecordingPrinter::officePrinter("Office")});
    TfrPrinter device;
    device.attach(&platform);
    EXPECT_EQ(device.findPrinter("ВИРТУАЛЬНЫЙ принтер"), 1);
    EXPECT_EQ(device.findPrinter("office"), 0);
    EXPECT_EQ(device.findPrinter("Nowhere"), -1);
    device.loadNames();
    EXPECT_EQ(device.printerNames().back(), kVirtualName);
    EXPECT_EQ(device.printerNames().size(), 2u);
}

TEST(PrinterDevice, CapsPaperAndBinCounts) {
    TestPrinter big = RecordingPrinter::officePrinter("Big");
    for (int i = 0; i < 300; ++i)
        big.papers.push_back(TestPaper{static_cast<std::uint16_t>(1000 + i), "P", {10000, 20000, {}}});
    big.bins.clear();
    for (int i = 0; i < 100; ++i) big.bins.push_back(BinKind{static_cast<std::uint16_t>(300 + i), "B"});
    RecordingPrinter platform({big});
    TfrPrinter device;
    device.attach(&platform);
    EXPECT_EQ(device.paperCount(), 256);
    EXPECT_EQ(device.paperNames().size(), 256u);
    EXPECT_EQ(device.binCount(), 65);
    EXPECT_EQ(device.binNames().size(), 65u);
    EXPECT_EQ(device.binCodes()[64], 363);
}

// ---- faults ----

TEST(PrinterDeviceFaults, VanishedPrinterSwitchesToTheVirtualPrinter) {
    RecordingPrinter platform({RecordingPrinter::officePrinter("Office"), RecordingPrinter::officePrinter("Gone")});
    TfrPrinter device;
    device.attach(&platform);
    platform.vanish("Gone");
    EXPECT_NO_THROW(device.selectPrinter(1));
    EXPECT_TRUE(device.isVirtual());
    EXPECT_EQ(device.paperCount(), 67);

    // The next attach no longer lists it.
    device.attach(&platform);
    EXPECT_EQ(device.printerNames(), (std::vector<std::string>{"Office", kVirtualName}));
}

TEST(PrinterDeviceFaults, CurrentPrinterVanishingLeavesLayoutOnTheVirtualPrinter) {
    RecordingPrinter platform({RecordingPrinter::officePrinter("Office")});
    TfrPrinter device;
    device.attach(&platform);
    platform.vanish("Office");
    PrinterInfo m;
    EXPECT_NO_THROW(device.fillMetrics(m));
    EXPECT_TRUE(device.isVirtual());
    EXPECT_EQ(m.pageWidth, 758);

    device.selectPrinter(0);  // still listed, not reachable
    EXPECT_TRUE(device.isVirtual());
    EXPECT_NO_THROW(device.readSettings());
    EXPECT_TRUE(device.isVirtual());
}

TEST(PrinterDeviceFaults, SetPaperOnAVanishedPrinterFallsBackToTheVirtualPrinter) {
    RecordingPrinter platform({RecordingPrinter::officePrinter("Office")});
    TfrPrinter device;
    device.attach(&platform);
    platform.vanish("Office");
    EXPECT_NO_THROW(device.setPaper(9, 2970, 2100, automaticBin, 1, true));
    EXPECT_TRUE(device.isVirtual());
    EXPECT_EQ(device.sheetWidth(), 2970);
    EXPECT_EQ(device.sheetHeight(), 2100);
}

TEST(PrinterDeviceFaults, NoDefaultPrinterLeavesTheDeviceUsable) {
    RecordingPrinter platform({RecordingPrinter::officePrinter("Office")}, -1);
    TfrPrinter device;
    EXPECT_THROW(device.attach(&platform), Error);
    EXPECT_EQ(device.printerNames(), (std::vector<std::string>{"Office", kVirtualName}));
    EXPECT_TRUE(device.isVirtual());
    EXPECT_EQ(device.paperCount(), 67);
}

TEST(PrinterDeviceFaults, UnreadableResolutionSwitchesToTheVirtualPrinter) {
    TestPrinter broken = RecordingPrinter::officePrinter("Broken");
    broken.dpiX = 0;
    RecordingPrinter platform({broken});
    TfrPrinter device;
    EXPECT_NO_THROW(device.attach(&platform));
    EXPECT_TRUE(device.isVirtual());
}

// ---- start-up ----

TEST(PrinterDeviceStartUp, WithoutPrintersTheDeviceIsReadyOnTheVirtualPrinter) {
    EXPECT_FALSE(printerDeviceReady());
    EXPECT_THROW(printerDevice(), Error);
    {
        PrinterDeviceSession session([] { return std::make_unique<RecordingPrinter>(); });
        EXPECT_TRUE(printerDeviceReady());
        EXPECT_EQ(defaultPaperCode(), 9);
        EXPECT_EQ(printerDevice().printerNames(), std::vector<std::string>{kVirtualName});
        {
            // Nested start-ups only count.
            PrinterDeviceSession nested([]() -> std::unique_ptr<PlatformPrinter> { throw Error("unused"); });
            EXPECT_TRUE(printerDeviceReady());
        }
        EXPECT_TRUE(printerDeviceReady());
    }
    EXPECT_FALSE(printerDeviceReady());
}

TEST(PrinterDeviceStartUp, TakesTheDefaultPrintersPaper) {
    TestPrinter letter = RecordingPrinter::officePrinter("Letter");
    letter.mode.paperSize = 1;
    PrinterDeviceSession session([&] {
        return std::make_unique<RecordingPrinter>(std::vector<TestPrinter>{letter});
    });
    EXPECT_EQ(defaultPaperCode(), 1);
    EXPECT_EQ(printerDevice().deviceName(), "Letter");
}

TEST(PrinterDeviceStartUp, FailuresEndOnAUsableVirtualPrinter) {
    {
        PrinterDeviceSession session([]() -> std::unique_ptr<PlatformPrinter> { throw Error("no printing"); });
        EXPECT_TRUE(printerDeviceReady());
        EXPECT_EQ(printerDevice().printerNames(), std::vector<std::string>{kVirtualName});
        EXPECT_TRUE(printerDevice().isVirtual());
        EXPECT_EQ(defaultPaperCode(), 9);
        PrinterInfo m;
        printerDevice().fillMetrics(m);
        EXPECT_EQ(m.pageWidth, 758);
    }
    {
        PrinterDeviceSession session([] {
            return std::make_unique<RecordingPrinter>(
                std::vector<TestPrinter>{RecordingPrinter::officePrinter("Office")}, -1);
        });
        EXPECT_TRUE(printerDevice().isVirtual());
        EXPECT_EQ(printerDevice().printerNames().size(), 2u);
        EXPECT_EQ(defaultPaperCode(), 9);
    }
}

}  // namespace
}  // namespace quor
