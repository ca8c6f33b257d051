// The template's printer: chosen only when the template does not keep the
// default printer, and written back by name.

#include <gtest/gtest.h>

#include "engine/stream.h"
#include "device/printer_device.h"
#include "platform/message_box.h"
#include "platform/recording_printer.h"
#include "report/report.h"
#include "template_bytes.h"

namespace quor::test {
namespace {

class ReportPrinterTest : public ::testing::Test {
protected:
    PrinterDeviceSession device_{[] {
        return std::make_unique<RecordingPrinter>(std::vector<TestPrinter>{
            RecordingPrinter::officePrinter("Office A"), RecordingPrinter::officePrinter("Office B")});
    }};
    MessageCapture messages_;

    static std::string headerNaming(bool useDefaultPrinter, const std::string& printer) {
        TemplateBytes b;
        writeHeader(b, useDefaultPrinter, false, printer);
        writePage(b);
        return b.str();
    }
    static void load(TfrReport& report, const std::string& bytes) {
        StreamReader in(bytes);
        report.LoadFromStream(in);
    }
};

TEST_F(ReportPrinterTest, NamedPrinterIsChosenUnlessTheDefaultIsKept) {
    ASSERT_EQ(printerDevice().currentIndex(), 0);
    TfrReport report;
    load(report, headerNaming(true, "office b"));
    EXPECT_EQ(printerDevice().currentIndex(), 0);
    EXPECT_EQ(report.PrinterName, "office b");

    load(report, headerNaming(false, "office b"));
    EXPECT_EQ(printerDevice().currentIndex(), 1);
    EXPECT_EQ(report.PrinterName, "office b");
    EXPECT_TRUE(messages_.messages().empty());

    // A printer the machine does not have changes nothing.
    load(report, headerNaming(false, "Elsewhere"));
    EXPECT_EQ(printerDevice().currentIndex(), 1);
    EXPECT_EQ(report.PrinterName, "Elsewhere");
}

TEST_F(ReportPrinterTest, SavedTemplateNamesTheCurrentPrinter) {
    TfrReport report;
    load(report, headerNaming(false, "\x01"));
    EXPECT_EQ(report.PrinterName, "Виртуальный принтер");
    EXPECT_TRUE(printerDevice().isVirtual());
    printerDevice().selectPrinter(1);
    StreamWriter out;
    report.SaveToStream(out);
    StreamReader in(out.data());
    in.seek(5);
    EXPECT_EQ(in.vtext(24), "Office B");
}

}  // namespace
}  // namespace quor::test
