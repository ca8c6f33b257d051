#pragma once

// A settings folder and a recording printer for the settings dialog's tests.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <memory>

#include "device/printer_device.h"
#include "platform/message_box.h"
#include "platform/recording_printer.h"

namespace quor::test {

class CompanionTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string file = path(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    QTemporaryDir dir_;
    PrinterDeviceSession device_{[] {
        return std::make_unique<RecordingPrinter>(std::vector{RecordingPrinter::officePrinter("Office")});
    }};
    MessageCapture messages_;
};

}  // namespace quor::test
