// The preview's text search on a real window: the dialog, the walk over the
// pages with Ctrl+F and F3, letter case, pieces with two hits, and the mark
// over the found text after the view has scrolled to it.

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <cmath>

#include "output/page_text_search.h"
#include "output/preview_search.h"
#include "output/preview_search_form.h"
#include "platform/codepage.h"
#include "platform/recording_canvas.h"
#include "preview_fixture.h"

namespace quor::test {
namespace {

QString qs(const char* utf8) { return QString::fromUtf8(utf8); }

std::string cp866(const char* utf8) {
    const QString text = qs(utf8);
    return unicodeToBytes(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                              static_cast<std::size_t>(text.size())),
                          CodePage::Cp866);
}

class PreviewSearchTest : public PreviewTest {
protected:
    // Text added to the end of a line: on page `page` (0-based), `row` lines
    // below the page's first line.
    struct Placed {
        int page;
        int row;
        std::string bytes;
    };

    // Numbered lines with the pieces added where they belong; returns the
    // number of each page's first line.
    std::vector<int> buildWith(const std::vector<Placed>& placed, int lines = 400) {
        build(lines);
        const std::vector<int> starts = pageStarts();
        std::vector<std::string> doc = numberedLines(lines);
        for (const Placed& p : placed) doc[std::size_t(starts.at(std::size_t(p.page)) + p.row)] += p.bytes;
        buildReport(report_, doc);
        return starts;
    }

    // The document line each prepared page starts with, as drawn.
    std::vector<int> pageStarts() {
        TfrEMFPages& pages = report_.PreparedPages;
        engine().currentReport = &report_;
        std::vector<int> starts;
        for (int i = 0; i < pages.Count(); ++i) {
            PreparedPage& page = pages.Item(i);
            page.Visible = true;
            RecordingCanvas canvas;
            pages.Draw(i, canvas, Rect{0, 0, page.prnInfo.pageWidth, page.prnInfo.pageHeight});
            for (const RecordedText& t : canvas.all<RecordedText>())
                if (t.bytes.rfind("line ", 0) == 0) {
                    starts.push_back(std::stoi(t.bytes.substr(5)));
                    break;
                }
            page.Visible = false;
            page.Page.reset();
        }
        return starts;
    }

    // Ctrl+F, and the dialog filled in and confirmed.
    void find(const QString& text, bool caseSensitive = false, bool goOn = false) {
        QTimer::singleShot(0, [=] {
            auto* dialog = dynamic_cast<TfrPreviewSearchForm*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->Edit1->setText(text);
            dialog->CB1->setChecked(caseSensitive);
            (goOn ? dialog->RB2 : dialog->RB1)->setChecked(true);
            dialog->Button1->click();
        });
        key(form_->PBox, Qt::Key_F, Qt::ControlModifier);
    }
    void findNext() { key(form_->PBox, Qt::Key_F3); }
    PreviewTextSearch& search() { return dynamic_cast<PreviewTextSearch&>(*form_->search()); }

    // The page area as the last paint left it on the screen.
    QImage onScreen() {
        const QPoint at = form_->PBox->mapTo(form_.get(), QPoint(0, 0));
        return form_->screen()->grabWindow(form_->winId()).toImage().copy(QRect(at, form_->PBox->size()));
    }
};

TEST(PreviewSearchText, ComparesInTheCodePageOfEachPiece) {
    struct Case {
        const char* sought;
        bool caseSensitive;
        const char* drawn;
        CodePage page;
        int charset;
        bool found;
    };
    const Case cases[] = {
        {"ИТОГО", false, "Всего итого: 5", CodePage::Cp866, kOemCharset, true},
        {"ИТОГО", false, "Всего итого: 5", CodePage::Cp1251, kRussianCharset, true},
        {"итого", true, "ВСЕГО ИТОГО", CodePage::Cp866, kOemCharset, false},
        {"ИТОГО", true, "ВСЕГО ИТОГО", CodePage::Cp866, kOemCharset, true},
        // CP866 bytes read as CP1251 are other letters.
        {"ИТОГО", true, "ИТОГО", CodePage::Cp866, kRussianCharset, false},
        // A text the piece's page cannot write is never found ('?' included).
        {"ИТОГО", false, "?????", CodePage::Cp1252, 0, false},
        {"", false, "anything", CodePage::Cp1252, 0, false},
        {"A B", false, "a b", CodePage::Cp1252, 0, true},
    };
    for (const Case& c : cases) {
        const QString drawn = qs(c.drawn);
        const std::string bytes = unicodeToBytes(
            std::u16string_view(reinterpret_cast<const char16_t*>(drawn.utf16()), std::size_t(drawn.size())),
            c.page);
        EXPECT_EQ(SearchText(qs(c.sought), c.caseSensitive).foundIn(bytes, c.charset), c.found)
            << c.sought << " in " << c.drawn << " charset " << c.charset;
    }
}

TEST_F(PreviewSearchTest, DialogOpensNewEmptyIgnoringCaseFromTheFirstPage) {
    build(3);
    open(1000, 700);
    // Each Ctrl+F makes a new dialog: what the first one was given is gone,
    // and Escape cancels without changing the search.
    for (int round = 0; round < 2; ++round) {
        QTimer::singleShot(0, [] {
            auto* d = dynamic_cast<TfrPreviewSearchForm*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            const std::pair<QString, const char*> captions[] = {
                {d->windowTitle(), "Поиск"},         {d->Label1->text(), "Искать &текст"},
                {d->GroupBox1->title(), "Опции поиска"}, {d->CB1->text(), "Различать &регистр"},
                {d->GroupBox2->title(), "Искать"},    {d->RB1->text(), "С &начала"},
                {d->RB2->text(), "&Продолжить"},      {d->Button1->text(), "ОК"},
                {d->Button2->text(), "Отмена"},
            };
            for (const auto& [shown, expected] : captions) EXPECT_EQ(shown, qs(expected));
            EXPECT_EQ(d->size(), QSize(262, 158));
            EXPECT_EQ(d->minimumSize(), d->maximumSize());
            const QPoint offCentre = d->frameGeometry().center() -
                                     QGuiApplication::primaryScreen()->availableGeometry().center();
            EXPECT_LE(offCentre.manhattanLength(), 4);
            EXPECT_EQ(d->Edit1->width(), 253);
            EXPECT_TRUE(d->Button1->isDefault());
            EXPECT_TRUE(d->Edit1->text().isEmpty());
            EXPECT_FALSE(d->CB1->isChecked());
            EXPECT_TRUE(d->RB1->isChecked());
            EXPECT_EQ(d->focusWidget(), d->Edit1);
            d->Edit1->setText("line");
            d->CB1->setChecked(true);
            d->RB2->setChecked(true);
            key(d, Qt::Key_Escape);
        });
        key(form_->PBox, Qt::Key_F, Qt::ControlModifier);
    }
    EXPECT_TRUE(search().searchText.isEmpty());
}

TEST_F(PreviewSearchTest, WalksThePagesWithCtrlFAndF3) {
    buildWith({{1, 10, cp866(" ИТОГО")}, {4, 3, cp866(" ИТОГО")}});
    TfrPreviewForm& form = open(1000, 700);
    const QString count = QString::number(form.pageCount());
    find(qs("итого"));
    EXPECT_EQ(form.currentPage, 2);
    EXPECT_EQ(label(), qs("Стр. 2/") + count);
    EXPECT_EQ(search().foundPage, 1);
    EXPECT_EQ(search().searchText, qs("ИТОГО"));
    EXPECT_TRUE(form.paintEnabled);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone

    findNext();
    EXPECT_EQ(form.currentPage, 5);
    EXPECT_EQ(search().foundPage, 4);
    // Nothing further: page 5 stays in view.
    const int position = form.VScrollBar->value();
    findNext();
    EXPECT_EQ(form.currentPage, 5);
    EXPECT_EQ(form.VScrollBar->value(), position);
    EXPECT_EQ(label(), qs("Стр. 5/") + count);
}

TEST_F(PreviewSearchTest, F3StartsAtTheTopOfThePageTheUserMovedTo) {
    buildWith({{1, 10, cp866(" ИТОГО")}, {2, 10, cp866(" ИТОГО")}, {4, 3, cp866(" ИТОГО")}});
    TfrPreviewForm& form = open(1000, 700);
    find(qs("итого"));
    ASSERT_EQ(form.currentPage, 2);
    for (int i = 0; i < 3; ++i) form.PgDownClick();
    findNext();  // page 3 is passed over
    EXPECT_EQ(form.currentPage, 5);
    key(form.PBox, Qt::Key_Home, Qt::ControlModifier);
    ASSERT_EQ(form.currentPage, 1);
    findNext();
    EXPECT_EQ(form.currentPage, 2);
    // "Go on" in the dialog follows the same rule.
    form.PgDownClick();
    find(qs("итого"), false, true);
    EXPECT_EQ(form.currentPage, 3);
}

TEST_F(PreviewSearchTest, LetterCaseMattersOnlyWhenAsked) {
    buildWith({{1, 10, cp866(" ИТОГО")}, {2, 10, cp866(" итого")}});
    TfrPreviewForm& form = open(1000, 700);
    struct Case {
        const char* typed;
        bool caseSensitive;
        int page;  // 0: not found, the view stays
    };
    const Case cases[] = {
        {"итого", false, 2}, {"ИтОгО", false, 2}, {"итого", true, 3}, {"ИТОГО", true, 2}, {"ИтОгО", true, 0},
    };
    for (const Case& c : cases) {
        form.PgDownClick();  // away from where the last case ended
        const int before = form.currentPage;
        find(qs(c.typed), c.caseSensitive);
        EXPECT_EQ(form.currentPage, c.page ? c.page : before) << c.typed << " " << c.caseSensitive;
    }
}

TEST_F(PreviewSearchTest, TwoHitsInOnePieceAreOneHit) {
    buildWith({{0, 5, " abc abc"}, {0, 6, " abc"}, {2, 2, " xabcx"}});
    TfrPreviewForm& form = open(1000, 700);
    find("ABC");
    const Rect first = search().foundBounds;
    EXPECT_EQ(form.currentPage, 1);
    findNext();  // the next line on the same page
    EXPECT_EQ(form.currentPage, 1);
    EXPECT_GT(search().foundBounds.top, first.top);
    findNext();
    EXPECT_EQ(form.currentPage, 3);
}

TEST_F(PreviewSearchTest, EmptyTextFindsNothingAndF3WaitsForText) {
    buildWith({{1, 10, " line"}});
    TfrPreviewForm& form = open(1000, 700);
    form.PgDownClick();
    find("");
    EXPECT_EQ(form.currentPage, 2);
    EXPECT_TRUE(form.paintEnabled);
    form.PgUpClick();
    findNext();
    EXPECT_EQ(form.currentPage, 1);
    EXPECT_EQ(search().foundPage, form.pageCount());  // walked past the last page
}

TEST_F(PreviewSearchTest, TheMarkCoversTheTextWhereTheScrollBroughtIt) {
    // Where the found text must stand on the page area after the scroll.
    enum class Anchor { pageTopTenBelowViewTop, bottomAtViewBottom, rightEndAtViewRight, startTenIn, rowsRightEnd };
    struct Case {
        const char* name;
        int width, height;  // the page area; width 0: two portrait pages wide
        int row;            // -1: the page's last line
        int column;         // where the word starts
        Anchor anchor;
    };
    const Case cases[] = {
        {"near the top", 1000, 700, 3, 10, Anchor::pageTopTenBelowViewTop},
        {"near the bottom", 1000, 700, -1, 10, Anchor::bottomAtViewBottom},
        {"beyond the right edge", 400, 500, 3, 44, Anchor::rightEndAtViewRight},
        {"wider than the view", 400, 500, 3, 70, Anchor::startTenIn},
        // A landscape page first, as in a report of both orientations: the
        // found page stands beside it, partly beyond the view's right edge.
        {"second of two pages side by side", 0, 700, 3, 60, Anchor::rowsRightEnd},
    };
    build(400);
    const std::vector<int> starts = pageStarts();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int row = c.row >= 0 ? c.row : starts[2] - starts[1] - 1;
        std::vector<std::string> doc = numberedLines(400);
        std::string& line = doc[std::size_t(starts[1] + row)];
        line.resize(std::size_t(c.column), ' ');
        line += cp866("СЧЁТ");
        buildReport(report_, doc);
        int width = c.width;
        if (width == 0) {
            PrinterInfo& first = report_.PreparedPages.Item(0).prnInfo;
            std::swap(first.pageWidth, first.pageHeight);
            width = 2 * report_.PreparedPages.Item(1).prnInfo.pageWidth + 40;
        }
        TfrPreviewForm& form = open(width, c.height);
        find(qs("счёт"));
        ASSERT_EQ(form.currentPage, 2);
        const QImage marked = onScreen();
        ASSERT_TRUE(form.PBox->mark().has_value());
        const Rect mark = *form.PBox->mark();
        form.PBox->clearMark();
        const QImage plain = render();  // the same view without the mark

        // Every pixel the mark touched is inverted, and only those.
        QRect changed;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                const QRgb a = plain.pixel(x, y) & 0xFFFFFF, b = marked.pixel(x, y) & 0xFFFFFF;
                if (a == b) continue;
                EXPECT_EQ(a ^ b, 0xFFFFFFu) << x << "," << y;
                changed |= QRect(x, y, 1, 1);
            }
        const Rect& found = search().foundBounds;
        const int tw = int(std::lround(found.width() * form.scale));
        const int th = int(std::lround(found.height() * form.scale));
        ASSERT_FALSE(changed.isEmpty());
        EXPECT_EQ(changed.width(), std::min(tw, width - changed.left()));
        // The text is under the mark: dark pixels of the word inside it.
        int dark = 0;
        for (int y = changed.top(); y <= changed.bottom(); ++y)
            for (int x = changed.left(); x <= changed.right(); ++x) dark += qGray(plain.pixel(x, y)) < 100;
        EXPECT_GT(dark, 10);
        switch (c.anchor) {
            case Anchor::pageTopTenBelowViewTop:
                EXPECT_EQ(changed.top(), int(std::lround(found.top * form.scale)) + 10);
                EXPECT_EQ(changed.left(), pageRect(1).left + int(std::lround(found.left * form.scale)));
                EXPECT_EQ(changed.height(), th + 1);
                break;
            case Anchor::bottomAtViewBottom:
                EXPECT_EQ(changed.top(), c.height - th);
                EXPECT_EQ(changed.bottom(), c.height - 1);  // the last line falls below the area
                break;
            case Anchor::rightEndAtViewRight:
                EXPECT_LE(tw, c.width);
                EXPECT_GT(form.HScrollBar->value(), 0);
                EXPECT_EQ(changed.right(), c.width - 1);
                break;
            case Anchor::startTenIn:
                EXPECT_GT(tw, c.width);
                EXPECT_EQ(changed.left(), 10);
                EXPECT_EQ(changed.right(), c.width - 1);
                break;
            case Anchor::rowsRightEnd:
                ASSERT_EQ(pageRect(1).top, pageRect(0).top);
                EXPECT_GT(pageRect(1).left + int(std::lround(found.right * form.scale)), width);
                // The row's right end 10 pixels in, the text whole in view.
                EXPECT_EQ(form.HScrollBar->value(), form.HScrollBar->maximum());
                EXPECT_EQ(changed.left(), pageRect(1).left + int(std::lround(found.left * form.scale)) -
                                              form.HScrollBar->value());
                EXPECT_EQ(changed.width(), tw);
                break;
        }
        // Repaints keep the mark until the view moves.
        form.PBox->setMark(mark);
        EXPECT_EQ(render(), marked);
        key(form.PBox, Qt::Key_Down);
        EXPECT_FALSE(form.PBox->mark().has_value());
        form_.reset();
    }
}

}  // namespace
}  // namespace quor::test
