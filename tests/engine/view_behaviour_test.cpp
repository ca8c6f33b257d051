#include "engine/stream.h"
#include "engine/view_factory.h"
#include "platform/error.h"
#include "platform/recording_canvas.h"
#include "view_fixtures.h"

using namespace quor;
using namespace quor::viewtest;

namespace {

class ViewBehaviour : public EngineTest {};

std::string echoBrackets(TfrView&, const std::string& text) { return "<" + text + ">"; }
Variant evaluateAsText(TfrView&, const std::string& expr) { return Variant("=" + expr); }

}  // namespace

TEST_F(ViewBehaviour, InitialValues) {
    BoxView v;
    EXPECT_EQ(v.Flags, 1);
    EXPECT_FLOAT_EQ(v.FrameWidth, 1.0f);
    EXPECT_EQ(v.FillColor, kNoColor);
    EXPECT_EQ(v.formatCode, 558);
    EXPECT_EQ(v.GapX, 2);
    EXPECT_EQ(v.GapY, 1);
    EXPECT_TRUE(v.Visible);
    EXPECT_EQ(v.objectKind, kKindNamedClass);
    EXPECT_EQ(v.drawScaleX, 1.0);
}

TEST_F(ViewBehaviour, PropertyTableInOrder) {
    BoxView v;
    std::vector<std::string> names;
    for (const auto& p : v.properties()) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Name", "Left", "Top", "Width", "Height", "Flags", "FrameTyp",
                                               "FrameWidth", "FrameColor", "FrameStyle", "FillColor", "BandAlign",
                                               "Visible", "Memo", "Memo.Count", "Restrictions"}));
    EXPECT_EQ(v.properties()[9].enumNames.size(), 6u);
    EXPECT_TRUE(v.properties()[14].readOnly);
    EXPECT_EQ(v.properties().size(), 16u);  // filled once
}

TEST_F(ViewBehaviour, PropertiesIgnoreCase) {
    BoxView v;
    v.SetProperty("lEfT", Variant(42));
    v.SetProperty("FRAMEWIDTH", Variant(1.5));
    v.SetProperty("framestyle", Variant("psDashDot"));
    v.SetProperty("Stretched", Variant(false));
    v.SetProperty("Tag", Variant("t"));
    v.SetProperty("GapX", Variant("7"));
    EXPECT_EQ(v.Left, 42);
    EXPECT_FLOAT_EQ(v.FrameWidth, 1.5f);
    EXPECT_EQ(v.FrameStyle, kFrameDashDot);
    EXPECT_EQ(v.Flags & kFlagStretched, 0);
    EXPECT_EQ(v.GetProperty("tag"), Variant("t"));
    EXPECT_EQ(v.GetProperty("GAPX"), Variant(7));
    EXPECT_EQ(v.GetProperty("stretched"), Variant(false));
    EXPECT_TRUE(v.GetProperty("NoSuchThing").isNull());
    EXPECT_THROW(v.SetProperty("Left", Variant("abc")), Error);
}

TEST_F(ViewBehaviour, MemoAsWholeTextAndDataField) {
    BoxView v;
    v.SetProperty("Memo", Variant("one\r\ntwo\nthree\r\n"));
    EXPECT_EQ(v.Memo, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(v.GetProperty("Memo"), Variant("one\r\ntwo\r\nthree\r\n"));
    EXPECT_EQ(v.GetProperty("Memo.Count"), Variant(std::int64_t{3}));
    v.SetProperty("Memo.Count", Variant(0));  // read-only
    EXPECT_EQ(v.Memo.size(), 3u);
    v.SetProperty("DataField", Variant("Table.Field"));
    EXPECT_EQ(v.GetProperty("DataField"), Variant("Table.Field"));
    EXPECT_EQ(v.Memo, (std::vector<std::string>{"Table.Field"}));
}

TEST_F(ViewBehaviour, MethodsOnVisibilityAndLines) {
    BoxView v;
    v.Memo = {"a", "b"};
    v.CallMethod("hide", {}, {}, {});
    EXPECT_FALSE(v.Visible);
    v.CallMethod("SHOW", {}, {}, {});
    EXPECT_TRUE(v.Visible);
    v.CallMethod("SETINDEXPROPERTY", Variant("memo"), Variant(1), Variant("B"));
    EXPECT_EQ(v.CallMethod("GETINDEXPROPERTY", Variant("Memo"), Variant(1), {}), Variant("B"));
    EXPECT_THROW(v.CallMethod("GETINDEXPROPERTY", Variant("Memo"), Variant(2), {}), Error);
    EXPECT_THROW(v.CallMethod("SETINDEXPROPERTY", Variant("Memo"), Variant(-1), Variant("x")), Error);
    EXPECT_TRUE(v.CallMethod("NOSUCHMETHOD", {}, {}, {}).isNull());
}

TEST_F(ViewBehaviour, ListMethodsEvaluateTheirArguments) {
    BoxView v;
    engine().evaluate = nullptr;
    EXPECT_THROW(v.CallMethod("MEMO.ADD", Variant("1+1"), {}, {}), Error);  // no evaluator installed
    engine().evaluate = evaluateAsText;
    v.CallMethod("MEMO.ADD", Variant("x"), {}, {});
    v.CallMethod("Memo.Add", Variant("y"), {}, {});
    EXPECT_EQ(v.Memo, (std::vector<std::string>{"=x", "=y"}));
    EXPECT_EQ(v.CallMethod("MEMO.INDEXOF", Variant("y"), {}, {}), Variant(1));
    EXPECT_EQ(v.CallMethod("MEMO.INDEXOF", Variant("z"), {}, {}), Variant(-1));
    engine().evaluate = [](TfrView&, const std::string&) { return Variant(0); };
    v.CallMethod("MEMO.DELETE", Variant("0"), {}, {});
    EXPECT_EQ(v.Memo, (std::vector<std::string>{"=y"}));
    v.CallMethod("MEMO.CLEAR", {}, {}, {});
    EXPECT_TRUE(v.Memo.empty());
    EXPECT_THROW(v.CallMethod("MEMO.DELETE", Variant("0"), {}, {}), Error);
}

TEST_F(ViewBehaviour, UniqueNamesSkipTakenOnes) {
    BoxView a, b, v;
    a.Name = "Memo1";
    b.Name = "Memo2";
    FakeReport report;
    report.objects = {&a, &b, &v};
    engine().currentReport = &report;
    v.baseName = "Memo";
    v.MakeUniqueName();
    EXPECT_EQ(v.Name, "Memo3");
    // Without a report every name is free.
    engine().currentReport = nullptr;
    BoxView lone;
    lone.MakeUniqueName();
    EXPECT_EQ(lone.Name, "Box1");
}

TEST_F(ViewBehaviour, UniqueNameGivesUpAfterTenThousand) {
    std::vector<BoxView> taken(10000);
    FakeReport report;
    for (int i = 0; i < 10000; ++i) {
        taken[i].Name = "Box" + std::to_string(i + 1);
        report.objects.push_back(&taken[i]);
    }
    engine().currentReport = &report;
    BoxView v;
    v.Name = "Keep";
    v.MakeUniqueName();
    EXPECT_EQ(v.Name, "Keep");
}

TEST_F(ViewBehaviour, AttachCanvasMakesTheViewCurrent) {
    BoxView v;
    RecordingCanvas c;
    v.AttachCanvas(c);
    EXPECT_EQ(engine().currentView, &v);
    EXPECT_EQ(v.canvas, &c);
}

TEST_F(ViewBehaviour, BandAlignAgainstPrintableEdges) {
    FakePage page;  // edges 10 and 710
    RecordingCanvas c;
    BoxView centre, width, right;
    for (BoxView* v : {&centre, &width, &right}) {
        v->page = &page;
        v->SetBounds(300, 40, 100, 10);
    }
    centre.BandAlign = kAlignCenter;
    centre.AttachCanvas(c);
    EXPECT_EQ(centre.Left, 10 + (700 - 100) / 2);
    right.BandAlign = kAlignRight;
    right.AttachCanvas(c);
    EXPECT_EQ(right.Left, 610);
    width.BandAlign = kAlignWidth;
    engine().documentMode = true;
    width.AttachCanvas(c);
    EXPECT_EQ(width.Left, 10);
    EXPECT_EQ(width.Width, 699);
}

TEST_F(ViewBehaviour, BandAlignFollowsNeighboursOnTheRow) {
    FakePage page;
    RecordingCanvas c;
    BoxView leftA, leftB, other, rightA, rest, below;
    leftA.SetBounds(50, 40, 100, 10);
    leftA.BandAlign = kAlignLeft;
    other.SetBounds(180, 40, 30, 10);  // not aligned: ignored
    rightA.SetBounds(600, 40, 50, 10);
    rightA.BandAlign = kAlignRight;
    below.SetBounds(200, 99, 10, 10);
    below.BandAlign = kAlignLeft;
    leftB.SetBounds(220, 40, 60, 10);
    leftB.BandAlign = kAlignLeft;
    rest.SetBounds(400, 40, 10, 10);
    rest.BandAlign = kAlignRest;
    page.views = {&leftA, &leftB, &other, &rightA, &rest, &below};
    for (BoxView* v : {&leftA, &leftB, &rest}) v->page = &page;
    leftA.AttachCanvas(c);
    EXPECT_EQ(leftA.Left, 10);  // no aligned neighbour: the left edge
    leftB.AttachCanvas(c);
    EXPECT_EQ(leftB.Left, 110);  // right next to leftA
    rest.AttachCanvas(c);
    EXPECT_EQ(rest.Left, 170);
    EXPECT_EQ(rest.Width, 599 - 170);  // up to one unit left of rightA
}

TEST_F(ViewBehaviour, LeftAlignedPastTheEdgeNeverGetsANegativeWidth) {
    FakePage page;
    page.right = 200;
    RecordingCanvas c;
    BoxView wide, v;
    wide.SetBounds(10, 5, 500, 10);
    wide.BandAlign = kAlignLeft;
    v.SetBounds(600, 5, 80, 10);
    v.BandAlign = kAlignLeft;
    v.page = &page;
    page.views = {&wide, &v};
    v.AttachCanvas(c);
    EXPECT_EQ(v.Left, 510);
    EXPECT_EQ(v.Width, 0);
}

TEST_F(ViewBehaviour, WriteToPageWritesKindAndBodyWithExpandedTag) {
    FakeReport report;
    engine().currentReport = &report;
    engine().expandBrackets = echoBrackets;
    BoxView v;
    v.objectKind = kKindLine;
    v.Name = "L";
    v.tagText = "[x]";
    v.Memo = {"m"};
    v.scriptLines = {"s"};
    StreamWriter out;
    v.WriteToPage(out);
    EXPECT_EQ(v.tagText, "[x]");
    EXPECT_EQ(v.workLines, (std::vector<std::string>{"m", "hooked"}));
    EXPECT_EQ(report.scriptsRun, (std::vector<std::string>{"s"}));
    StreamReader in(out.data());
    EXPECT_EQ(in.u8(), kKindLine);
    BoxView back;
    back.LoadFromStream(in);
    EXPECT_EQ(back.tagText, "<[x]>");
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.ranShort());
}

TEST_F(ViewBehaviour, NamedClassesWriteTheirClassName) {
    BoxView v;
    StreamWriter out;
    v.WriteToPage(out);
    StreamReader in(out.data());
    EXPECT_EQ(in.u8(), kKindNamedClass);
    EXPECT_EQ(in.vtext(24), "TBoxView");
}

TEST_F(ViewBehaviour, InvisibleViewsWriteNothing) {
    BoxView v;
    v.Visible = false;
    StreamWriter out;
    v.WriteToPage(out);
    EXPECT_EQ(out.size(), 0u);
}

TEST_F(ViewBehaviour, TagExpansionNeedsTheExpressionsModule) {
    BoxView v;
    v.tagText = "[Date]";
    StreamWriter out;
    EXPECT_THROW(v.WriteToPage(out), Error);
    EXPECT_EQ(v.tagText, "[Date]");
}

TEST_F(ViewBehaviour, BandAlignTopAndBottomFollowTheBand) {
    FakeBand band;  // rows 100 to 140
    engine().currentBand = &band;
    BoxView v;
    v.SetBounds(0, 0, 50, 15);
    v.BandAlign = kAlignBottom;
    StreamWriter out;
    v.WriteToPage(out);
    EXPECT_EQ(v.Top, 125);
    v.BandAlign = kAlignTop;
    v.WriteToPage(out);
    EXPECT_EQ(v.Top, 100);
    band.cross = true;
    v.BandAlign = kAlignWidth;
    v.WriteToPage(out);
    EXPECT_EQ(v.Width, 700);
}

TEST_F(ViewBehaviour, ExportTellsTheSink) {
    struct Sink : ExportSink {
        std::vector<std::pair<int, int>> views;
        void exportView(TfrView&, int left, int top) override { views.push_back({left, top}); }
        void exportText(const Rect&, int, int, TfrView&, unsigned, const std::string&) override {}
    } sink;
    FakeReport report;
    report.sink = &sink;
    engine().currentReport = &report;
    BoxView v;
    v.SetBounds(3, 4, 5, 6);
    v.Export();
    EXPECT_EQ(sink.views, (std::vector<std::pair<int, int>>{{3, 4}}));
}

TEST_F(ViewBehaviour, FactoryByKindAndByClassName) {
    ViewFactory f;
    f.registerKind(kKindLine, [] { return std::make_unique<BoxView>(); });
    f.registerClass("TBoxView", [] { return std::make_unique<BoxView>(); });
    EXPECT_NE(f.create(kKindLine), nullptr);
    EXPECT_EQ(f.create(kKindMemo), nullptr);
    EXPECT_EQ(f.create(7), nullptr);
    EXPECT_EQ(f.create(kKindNamedClass), nullptr);
    EXPECT_NE(f.createByClassName("TBoxView"), nullptr);
    EXPECT_EQ(f.createByClassName("TBOXVIEW"), nullptr);  // exact names only
    EXPECT_TRUE(f.hasClass("TBoxView"));
    EXPECT_NO_THROW(ViewFactory::instance());
}
