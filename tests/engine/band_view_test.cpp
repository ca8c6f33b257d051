// Band views: named properties and the stored body across object layouts.

#include <gtest/gtest.h>

#include "engine/band_view.h"
#include "engine/engine_state.h"
#include "engine/stream.h"

namespace quor {
namespace {

TEST(BandViewTest, NamedProperties) {
    TfrBandView band;
    EXPECT_EQ(band.Flags, kBandOnFirstPage | kBandOnLastPage);
    band.SetProperty("breaked", Variant(true));
    band.SetProperty("ONFIRSTPAGE", Variant("False"));
    EXPECT_EQ(band.Flags, kBandBreaked | kBandOnLastPage);
    EXPECT_EQ(band.GetProperty("Breaked"), Variant(true));
    EXPECT_EQ(band.GetProperty("RepeatHeader"), Variant(false));

    band.SetProperty("Columns", Variant("3"));
    band.SetProperty("NewColumnAfter", Variant(2.5));
    EXPECT_EQ(band.Columns, 3);
    EXPECT_EQ(band.NewColumnAfter, 2);
    EXPECT_EQ(band.GetProperty("ColumnWidth"), Variant(200));

    band.SetProperty("DataSource", Variant("Table1"));
    EXPECT_EQ(band.formatString, "Table1");
    EXPECT_EQ(band.GetProperty("Condition"), Variant("Table1"));
    band.SetProperty("ChildBand", Variant("Child1"));
    band.SetProperty("OnBeforePrint", Variant("a\r\nb"));
    EXPECT_EQ(band.ChildBand, "Child1");
    EXPECT_EQ(band.scriptLines, (std::vector<std::string>{"a", "b"}));

    band.SetProperty("Left", Variant(5));
    EXPECT_EQ(band.Left, 5);
}

TEST(BandViewTest, MasterOnlyFromLayoutTwoOne) {
    TfrBandView written;
    written.Name = "Group";
    written.Master = "Data1";
    StreamWriter out;
    written.SaveToStream(out);
    std::string bytes = out.take();

    engine().streamVersion = 24;
    {
        StreamReader in(bytes);
        TfrBandView read;
        read.LoadFromStream(in);
        EXPECT_EQ(read.objectVersionLow, 1);
        EXPECT_EQ(read.Master, "Data1");
        EXPECT_EQ(in.position(), bytes.size());
    }
    // Layout 2.0: the body ends before "Master".
    const std::size_t lowAt = 2 + written.Name.size() + 1 + 1;
    bytes[lowAt] = 0;
    StreamReader in(bytes);
    TfrBandView read;
    read.LoadFromStream(in);
    EXPECT_EQ(read.Master, "");
    EXPECT_EQ(in.position(), bytes.size() - (2 + 5 + 1));
}

}  // namespace
}  // namespace quor
