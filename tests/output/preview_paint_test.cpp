// What the preview paints, which pages it keeps unpacked, and its prepared-
// report files.

#include <QImage>
#include <fstream>

#include "preview_fixture.h"

namespace quor::test {
namespace {

bool isGrey(QRgb c) { return qRed(c) == 128 && qGreen(c) == 128 && qBlue(c) == 128; }
bool isWhite(QRgb c) { return c == qRgb(255, 255, 255); }
bool isBlack(QRgb c) { return c == qRgb(0, 0, 0); }

// Dark pixels in a rectangle of the image.
int darkPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100) ++n;
    return n;
}

TEST_F(PreviewTest, PaintsAWhitePageWithBorderAndShadowOnGrey) {
    buildReport(report_, documentLines(QUOR_SOURCE_DIR "/samples/invoice.prn"));
    open(1000, 700);
    const QImage image = render();
    ASSERT_EQ(image.size(), QSize(1000, 700));
    const Rect r = pageRect(0);

    EXPECT_TRUE(isGrey(image.pixel(5, 5)));
    EXPECT_TRUE(isGrey(image.pixel(r.left - 1, 300)));
    EXPECT_TRUE(isGrey(image.pixel(r.right + 1, 300)));
    EXPECT_TRUE(isGrey(image.pixel(500, r.top - 1)));
    // Border on the left and top edge, shadow one pixel outside right.
    EXPECT_TRUE(isBlack(image.pixel(r.left, 300)));
    EXPECT_TRUE(isBlack(image.pixel(500, r.top)));
    EXPECT_TRUE(isBlack(image.pixel(r.right - 1, 300)));
    EXPECT_TRUE(isBlack(image.pixel(r.right, 300)));
    EXPECT_TRUE(isGrey(image.pixel(r.right, r.top)));  // the shadow starts below the corner
    // Inside: white paper, with the document's text in its top part only.
    EXPECT_TRUE(isWhite(image.pixel(r.left + 3, r.top + 3)));
    EXPECT_TRUE(isWhite(image.pixel(r.left + 3, 690)));
    const QRect textArea(r.left + 1, r.top + 1, r.width() - 2, 200);
    EXPECT_GT(darkPixels(image, textArea), 500);
    const QRect margin(r.left + 1, r.top + 1, 15, 600);
    EXPECT_EQ(darkPixels(image, margin), 0);

    // Scrolled by 50 pixels the text moves with the page.
    form_->VScrollBar->setValue(50);
    const QImage scrolled = render();
    EXPECT_EQ(scrolled.copy(0, 0, 1000, 600), image.copy(0, 50, 1000, 600));
}

TEST_F(PreviewTest, OnlyPagesNearTheViewAreDrawnAndKeptUnpacked) {
    build(35000);  // some 500 pages
    TfrPreviewForm& form = open(1000, 3000);
    const int pages = form.pageCount();
    ASSERT_GT(pages, 450);
    render();
    // Tops at 10, 1091 and 2172: the third page is in the area but starts
    // more than 2000 pixels down.
    EXPECT_TRUE(form.pages().Item(0).Visible);
    EXPECT_TRUE(form.pages().Item(1).Visible);
    EXPECT_FALSE(form.pages().Item(2).Visible);
    EXPECT_EQ(form.pages().Item(2).Page, nullptr);
    EXPECT_EQ(form.pages().unpackedCount(), 2);

    // Walking to the end keeps only what is on screen.
    for (int step = 0; step < 5; ++step) {
        form.VScrollBar->setValue(form.VScrollBar->maximum() * (step + 1) / 5);
        render();
        EXPECT_LE(form.pages().unpackedCount(), 3);
    }
    EXPECT_TRUE(form.pages().Item(pages - 1).Visible);
    EXPECT_EQ(form.pages().Item(0).Page, nullptr);

    // Small pages: many on screen, still none beyond 2000 pixels.
    form.N3Click(10);
    form.VScrollBar->setValue(0);
    render();
    int visible = 0;
    for (int i = 0; i < pages; ++i) {
        const PreparedPage& p = form.pages().Item(i);
        if (p.Visible) ++visible;
        if (p.screenRect.top > 2000) {
            EXPECT_FALSE(p.Visible) << i;
        }
        EXPECT_EQ(p.Page != nullptr, p.Visible) << i;
    }
    EXPECT_GT(visible, 100);
}

TEST_F(PreviewTest, SavesAndLoadsPreparedReportFiles) {
    build(200);
    TfrPreviewForm& form = open(1000, 700);
    const int pages = form.pageCount();
    const std::string base = testing::TempDir() + "preview_saved";
    form.savePreparedFile(QString::fromStdString(base + ".txt"));  // the extension becomes .frp
    EXPECT_EQ(form.pageCount(), pages);
    EXPECT_EQ(report_.PreparedPages.Count(), 0);
    std::ifstream saved(base + ".frp", std::ios::binary);
    ASSERT_TRUE(saved.good());
    EXPECT_EQ(saved.get(), 24);

    // A damaged file is reported and the shown pages stay.
    const std::string bad = testing::TempDir() + "preview_bad.frp";
    {
        std::ofstream out(bad, std::ios::binary);
        out << std::string("\x18\x00\x00\x00\x00\x05\x00\x00\x00", 9);
    }
    form.PgDownClick();
    form.loadPreparedFile(QString::fromStdString(bad));
    ASSERT_EQ(messages_.messages().size(), 1u);
    EXPECT_EQ(form.pageCount(), pages);
    EXPECT_EQ(form.currentPage, 2);
    form.loadPreparedFile(QString::fromStdString(base + ".missing"));
    EXPECT_EQ(messages_.messages().size(), 2u);

    // A good file replaces the pages and starts at page 1.
    form.N3Click(1);
    form.VScrollBar->setValue(500);
    build(3);  // the report's own store is refilled by a new build
    report_.SavePreparedReport(testing::TempDir() + "preview_one.frp");
    report_.PreparedPages.Clear();
    form.loadPreparedFile(QString::fromStdString(testing::TempDir() + "preview_one.frp"));
    EXPECT_EQ(form.pageCount(), 1);
    EXPECT_EQ(form.currentPage, 1);
    EXPECT_EQ(label(), "Стр. 1/1");
    EXPECT_EQ(form.VScrollBar->value(), 0);
    EXPECT_FALSE(report_.CanRebuild);
    EXPECT_EQ(report_.PreparedPages.Count(), 0);
}

TEST_F(PreviewTest, LoadAndSaveAskForReportFiles) {
    build(3);
    TfrPreviewForm& form = open(1000, 700);
    std::vector<std::pair<bool, QString>> asked;
    const auto previous = setPreviewFileChooser([&](QWidget*, bool save, const QString& filter) {
        asked.emplace_back(save, filter);
        return QString();  // cancelled
    });
    key(form.PBox, Qt::Key_S, Qt::ControlModifier);
    key(form.PBox, Qt::Key_O, Qt::ControlModifier);
    setPreviewFileChooser(previous);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[0].first);
    EXPECT_FALSE(asked[1].first);
    EXPECT_EQ(asked[1].second, "Файл отчета (*.frp)");
    EXPECT_EQ(form.pageCount(), 1);
}

TEST_F(PreviewTest, DamagedPageIsShownBlankAndReportedOnce) {
    build(200);
    TfrPreviewForm& form = open(1000, 700);
    PreparedPage& first = form.pages().Item(0);
    first.Page.reset();
    first.Stream.seek(1);
    first.Stream.u8(77);  // no view has this type
    const QImage image = render();
    QCoreApplication::processEvents();
    ASSERT_EQ(messages_.messages().size(), 1u);
    render();
    QCoreApplication::processEvents();
    EXPECT_EQ(messages_.messages().size(), 1u);
    const Rect r = pageRect(0);
    EXPECT_EQ(darkPixels(image, QRect(r.left + 1, r.top + 1, r.width() - 2, 680 - r.top)), 0);
    EXPECT_TRUE(isBlack(image.pixel(r.left, 300)));
    // A press on it with a click handler reports the page's error and
    // still drags the view.
    report_.OnObjectClick = [](TfrView&) {};
    press(form.PBox, QPoint(r.left + 100, r.top + 60));
    EXPECT_TRUE(form.PBox->dragging);
}

}  // namespace
}  // namespace quor::test
