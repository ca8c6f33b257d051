#pragma once

// A report on the virtual printer with every message box captured.

#include <gtest/gtest.h>

#include <string>

#include "engine/stream.h"
#include "device/printer_device.h"
#include "platform/message_box.h"
#include "report/report.h"

namespace quor::test {

class ReportTest : public ::testing::Test {
protected:
    PrinterDeviceSession device_{[] { return std::unique_ptr<PlatformPrinter>(); }};
    MessageCapture messages_;
    TfrReport report_;

    void load(const std::string& bytes) { load(report_, bytes); }
    static void load(TfrReport& report, const std::string& bytes) {
        StreamReader in(bytes);
        report.LoadFromStream(in);
    }
    static std::string save(const TfrReport& report) {
        StreamWriter out;
        report.SaveToStream(out);
        return out.take();
    }
    std::size_t objectCount(std::size_t page = 0) const {
        return report_.TemplatePages[page].objectCount();
    }
    // The one message shown, or "" when there was none (more fail the test).
    std::string shownText() const {
        const auto& m = messages_.messages();
        EXPECT_LE(m.size(), 1u);
        return m.empty() ? std::string() : m.front().text;
    }
};

}  // namespace quor::test
