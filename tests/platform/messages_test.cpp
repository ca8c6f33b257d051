#include "platform/messages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace quor {
namespace {

TEST(Messages, TextsByIdAndEmptyForMissingIds) {
    EXPECT_EQ(message(kMsgInvalidTemplate), "Неверный FRF формат");
    EXPECT_EQ(message(kMsgErrorCaption), "Ошибка");
    EXPECT_EQ(message(kMsgDefaultCharset), "204");
    EXPECT_EQ(message(55077), "Report title");
    EXPECT_EQ(message(55098), "Child");
    EXPECT_EQ(message(55439), "Переменная не определена:");
    // Ids the table leaves without text.
    EXPECT_EQ(message(55204), "");
    EXPECT_EQ(message(55008), "");
    EXPECT_EQ(message(55435), "");
    EXPECT_EQ(message(0), "");
}

// Others add ids by hand; a line out of order or a duplicate id would make
// one of two texts silently unreachable.
TEST(Messages, TableIsSortedWithUniqueIds) {
    std::ifstream in(QUOR_SOURCE_DIR "/resources/messages.tsv");
    ASSERT_TRUE(in);
    std::string line;
    long previous = 0;
    int lines = 0;
    while (std::getline(in, line)) {
        ++lines;
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        long id = std::stol(line.substr(0, tab));
        EXPECT_GT(id, previous) << line;
        EXPECT_GE(id, 53000);
        EXPECT_LE(id, 55439);
        previous = id;
    }
    EXPECT_GT(lines, 80);
}

}  // namespace
}  // namespace quor
