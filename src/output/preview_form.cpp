// The preview window's controls, its layout of the pages and its scrolling.
// Commands, keys and opening are in preview_commands.cpp.

#include "output/preview_form.h"

#include <qdrawutil.h>

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/engine_state.h"
#include "output/preview_box.h"
#include "output/preview_icons.h"
#include "output/speed_button.h"
#include "platform/messages.h"
#include "platform/numbers.h"
#include "report/report.h"

namespace quor {
namespace {

constexpr int kToolPanelHeight = 33;
constexpr int kColumnWidth = 16;
constexpr int kBottomStripHeight = 18;
constexpr int kSmallStep = 10;
constexpr int kLargeStep = 200;
constexpr int kUnlaidRange = 32000;

// The tool panel: button face, a 2-pixel bevel along the top and the
// caption at the right end.
class ToolPanelWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().button());
        qDrawShadeLine(&p, 0, 0, width(), 0, palette(), true, 1, 0);
        const QString caption = QStringLiteral("Quor Soft     ");
        const int x = width() - fontMetrics().horizontalAdvance(caption) - 1;
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, caption);
    }
};

// The strip's zoom items: the menu texts and their tags.
struct ZoomItem {
    const char* text;
    int messageId;
    int tag;
};
constexpr ZoomItem kZoomItems[] = {
    {"200%", 0, 200},    {"150%", 0, 150},    {"100%", 0, 100}, {"75%", 0, 75},
    {"50%", 0, 50},      {"25%", 0, 25},      {"10%", 0, 10},   {nullptr, 53020, 1},
    {nullptr, 53021, 2}, {nullptr, 53022, 3},
};

QString messageText(int id) { return QString::fromStdString(message(id)); }

}  // namespace

TfrPreviewForm::TfrPreviewForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frPreviewForm"));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    resize(443, 305);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createToolPanel();
    createPreviewPanel();
    createZoomMenu();
    layout->addWidget(ToolPanel);
    layout->addWidget(PreviewPanel, 1);
    // Key preview: the window sees every key before its controls do (the
    // zoom menu keeps its own keys while it is open).
    for (QWidget* child : findChildren<QWidget*>())
        if (!qobject_cast<QMenu*>(child)) child->installEventFilter(this);
}

void TfrPreviewForm::createToolPanel() {
    ToolPanel = new ToolPanelWidget(this);
    ToolPanel->setFixedHeight(kToolPanelHeight);
    auto* strip = new QWidget(ToolPanel);
    strip->setGeometry(4, 6, 273, 24);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto button = [&](TfrTBButton*& b, const char* name, const QIcon& icon) {
        b = new TfrTBButton(strip);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(icon);
        row->addWidget(b);
    };
    auto gap = [&](TfrTBSeparator*& s, const char* name) {
        s = new TfrTBSeparator(strip);
        s->setObjectName(QString::fromLatin1(name));
        row->addWidget(s);
    };
    button(ZoomBtn, "ZoomBtn", preview_icons::zoom());
    ZoomBtn->setFixedSize(53, 24);
    ZoomBtn->setMargin(3);
    gap(frTBSeparator1, "frTBSeparator1");
    button(LoadBtn, "LoadBtn", preview_icons::open());
    button(SaveBtn, "SaveBtn", preview_icons::save());
    button(PrintBtn, "PrintBtn", preview_icons::print());
    button(PageSetupBtn, "PageSetupBtn", preview_icons::pageSetup());
    gap(frTBSeparator2, "frTBSeparator2");
    button(FindBtn, "FindBtn", preview_icons::find());
    button(HelpBtn, "HelpBtn", preview_icons::help());
    gap(frTBSeparator3, "frTBSeparator3");
    button(ExitBtn, "ExitBtn", preview_icons::exit());
    row->addStretch(1);

    connect(ZoomBtn, &QAbstractButton::clicked, this, [this] { ZoomBtnClick(); });
    connect(LoadBtn, &QAbstractButton::clicked, this, [this] { LoadBtnClick(); });
    connect(SaveBtn, &QAbstractButton::clicked, this, [this] { SaveBtnClick(); });
    connect(PrintBtn, &QAbstractButton::clicked, this, [this] { PrintBtnClick(); });
    connect(FindBtn, &QAbstractButton::clicked, this, [this] { FindBtnClick(); });
    connect(HelpBtn, &QAbstractButton::clicked, this, [this] { HelpBtnClick(); });
    connect(ExitBtn, &QAbstractButton::clicked, this, [this] { ExitBtnClick(); });
}

void TfrPreviewForm::createPreviewPanel() {
    PreviewPanel = new QWidget(this);
    PreviewPanel->setAutoFillBackground(true);
    PBox = new TfrPBox(*this, PreviewPanel);
    PBox->setObjectName(QStringLiteral("PBox"));

    VScrollBar = new QScrollBar(Qt::Vertical, PreviewPanel);
    HScrollBar = new QScrollBar(Qt::Horizontal, PreviewPanel);
    for (QScrollBar* bar : {VScrollBar, HScrollBar}) {
        bar->setRange(0, kUnlaidRange);
        bar->setSingleStep(kSmallStep);
        bar->setPageStep(kLargeStep);
        bar->setFocusPolicy(Qt::NoFocus);
    }
    connect(VScrollBar, &QScrollBar::valueChanged, this, [this](int v) { VScrollBarChange(v); });
    connect(HScrollBar, &QScrollBar::valueChanged, this, [this](int v) { HScrollBarChange(v); });

    PgUp = new TfrSpeedButton(PreviewPanel);
    PgUp->setObjectName(QStringLiteral("PgUp"));
    PgUp->setIcon(preview_icons::pageUp());
    PgUp->setIconSize(QSize(12, 12));
    PgDown = new TfrSpeedButton(PreviewPanel);
    PgDown->setObjectName(QStringLiteral("PgDown"));
    PgDown->setIcon(preview_icons::pageDown());
    PgDown->setIconSize(QSize(12, 12));
    connect(PgUp, &QAbstractButton::clicked, this, [this] { PgUpClick(); });
    connect(PgDown, &QAbstractButton::clicked, this, [this] { PgDownClick(); });

    Label1 = new QLabel(PreviewPanel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label1->setAlignment(Qt::AlignCenter);
}

void TfrPreviewForm::createZoomMenu() {
    ProcMenu = new QMenu(this);
    ProcMenu->setObjectName(QStringLiteral("ProcMenu"));
    zoomItems_ = new QActionGroup(ProcMenu);
    zoomItems_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const ZoomItem& item : kZoomItems) {
        QAction* a = ProcMenu->addAction(item.text ? QString::fromLatin1(item.text) : QString());
        a->setData(item.tag);
        a->setCheckable(true);
        zoomItems_->addAction(a);
        connect(a, &QAction::triggered, this, [this, tag = item.tag] { N3Click(tag); });
    }
}

// Captions and hints from the message table, as the window is shown.
void TfrPreviewForm::localize() {
    ZoomBtn->setToolTip(messageText(53024));
    LoadBtn->setToolTip(messageText(53025));
    SaveBtn->setToolTip(messageText(53026));
    PrintBtn->setToolTip(messageText(53027));
    FindBtn->setToolTip(messageText(53028));
    HelpBtn->setToolTip(messageText(53032));
    ExitBtn->setToolTip(messageText(53023));
    const QList<QAction*> actions = zoomItems_->actions();
    for (std::size_t i = 0; i < std::size(kZoomItems); ++i)
        if (kZoomItems[i].messageId) actions[int(i)]->setText(messageText(kZoomItems[i].messageId));
}

void TfrPreviewForm::arrangePreviewPanel() {
    const int w = PreviewPanel->width();
    const int h = PreviewPanel->height();
    const int columnX = w - kColumnWidth;
    const int stripY = h - kBottomStripHeight;
    PgDown->setGeometry(columnX, stripY - 16, 16, 16);
    PgUp->setGeometry(columnX, stripY - 32, 16, 16);
    VScrollBar->setGeometry(columnX, 0, kColumnWidth, std::max(0, stripY - 32 - 1));
    Label1->setGeometry(0, stripY + 1, 77, 17);
    HScrollBar->setGeometry(80, stripY + 1, std::max(0, columnX - 80), kBottomStripHeight - 1);
    PBox->setGeometry(0, 0, std::max(0, columnX), std::max(0, stripY));
}

Size TfrPreviewForm::pageAreaSize() const { return Size{PBox->width(), PBox->height()}; }

void TfrPreviewForm::takePages() {
    pages_.Clear();
    pages_.setHost(report_);
    pages_.swapPages(report_->PreparedPages);
}

void TfrPreviewForm::returnPages() {
    report_->PreparedPages.Clear();
    report_->PreparedPages.swapPages(pages_);
}

void TfrPreviewForm::setupButtons() {
    const std::uint32_t shown = report_->PreviewButtons;
    ZoomBtn->setVisible(shown & pbZoom);
    LoadBtn->setVisible(shown & pbLoad);
    SaveBtn->setVisible(shown & pbSave);
    PrintBtn->setVisible(shown & pbPrint);
    FindBtn->setVisible(shown & pbFind);
    HelpBtn->setVisible(shown & pbHelp);
    ExitBtn->setVisible(shown & pbExit);
    PageSetupBtn->setVisible(shown & pbPageSetup);
    frTBSeparator1->setVisible(shown & pbZoom);
    frTBSeparator3->setVisible(shown & (pbFind | pbHelp));
    const bool printers = printerDevice().virtualIndex() > 0;
    PrintBtn->setEnabled(printers);
    PageSetupBtn->setEnabled(printers);
    switch (report_->initialZoom) {
        case InitialZoom::pzPageWidth:
            engine().lastZoomMode = 1;
            break;
        case InitialZoom::pzOnePage:
            engine().lastZoomMode = 2;
            break;
        case InitialZoom::pzTwoPages:
            engine().lastZoomMode = 3;
            break;
        case InitialZoom::pzDefault:
            break;
    }
    // GrayedButtons leaves the pictures in colour.
}

void TfrPreviewForm::checkZoomItem() {
    const int tag = zoomMode == ZoomMode::fixed ? roundClamped(scale * 100) : int(zoomMode);
    for (QAction* a : zoomItems_->actions())
        if (a->data().toInt() == tag) a->setChecked(true);
}

void TfrPreviewForm::refreshView(bool reset) {
    scale = engine().lastScale;
    zoomMode = static_cast<ZoomMode>(std::min<int>(engine().lastZoomMode, 3));
    checkZoomItem();
    if (reset) {
        currentPage = 1;
        viewOffsetX = viewOffsetY = 0;
        lastHorizontal_ = lastVertical_ = 0;
        const QSignalBlocker blockH(HScrollBar);
        const QSignalBlocker blockV(VScrollBar);
        HScrollBar->setValue(0);
        VScrollBar->setValue(0);
    }
    updatePageLabel();
    layoutPages();
    releaseAllPages();
    PBox->update();
}

void TfrPreviewForm::releaseAllPages() {
    for (int i = 0; i < pages_.Count(); ++i) {
        pages_.Item(i).Visible = false;
        pages_.Item(i).Page.reset();
    }
}

void TfrPreviewForm::layoutPages() {
    if (!hasPages()) return;
    paintEnabled = false;
    currentPage = std::clamp(currentPage, 1, pages_.Count());
    const PageLayout placed =
        quor::layoutPages(pages_, currentPage - 1, zoomMode, scale, pageAreaSize());
    scale = placed.scale;
    checkZoomItem();
    ZoomBtn->setText(QString::number(roundClamped(scale * 100)) + QLatin1Char('%'));
    HScrollBar->setMaximum(placed.horizontalMax);
    HScrollBar->setEnabled(placed.horizontalMax > 0);
    VScrollBar->setMaximum(placed.verticalMax);
    VScrollBar->setEnabled(placed.verticalMax > 0);
    if (isVisible()) PBox->setFocus();
    scrollToCurrent();
    paintEnabled = true;
}

void TfrPreviewForm::updatePageLabel() {
    Label1->setText(messageText(55004) + QLatin1Char(' ') + QString::number(currentPage) +
                    QLatin1Char('/') + QString::number(pages_.Count()));
}

void TfrPreviewForm::scrollToCurrent() {
    if (!hasPages()) return;
    const int index = std::clamp(currentPage, 1, pages_.Count()) - 1;
    VScrollBar->setValue(pages_.Item(index).screenRect.top - kPageGap);
}

void TfrPreviewForm::VScrollBarChange(int position) {
    viewOffsetY = -position;
    const int delta = lastVertical_ - position;
    lastVertical_ = position;
    if (delta != 0) PBox->scroll(0, delta);
    if (!hasPages()) return;
    const int line = 11 - viewOffsetY;
    for (int i = 0; i < pages_.Count(); ++i) {
        const Rect& r = pages_.Item(i).screenRect;
        if (r.top < line && line < r.bottom) {
            currentPage = i + 1;
            break;
        }
    }
    updatePageLabel();
}

void TfrPreviewForm::HScrollBarChange(int position) {
    viewOffsetX = -position;
    const int delta = lastHorizontal_ - position;
    lastHorizontal_ = position;
    if (delta != 0) PBox->scroll(delta, 0);
}

int TfrPreviewForm::pageAt(Point p) const {
    for (int i = 0; i < pages_.Count(); ++i) {
        const Rect& r = pages_.Item(i).screenRect;
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return i + 1;
    }
    return 0;
}

Rect TfrPreviewForm::contentRect(int index, const Rect& r) const {
    return pageContentRect(pages_.Item(index), r, scale);
}

void TfrPreviewForm::PgUpClick() {
    if (!hasPages()) return;
    if (currentPage > 1) --currentPage;
    updatePageLabel();
    scrollToCurrent();
}

void TfrPreviewForm::PgDownClick() {
    if (!hasPages()) return;
    if (currentPage < pages_.Count()) ++currentPage;
    updatePageLabel();
    scrollToCurrent();
}

void TfrPreviewForm::ZoomBtnClick() {
    ProcMenu->popup(ZoomBtn->mapToGlobal(QPoint(0, ZoomBtn->height())));
}

void TfrPreviewForm::N3Click(int tag) {
    if (!hasPages()) return;
    viewOffsetX = 0;
    if (tag >= 1 && tag <= 3) {
        zoomMode = static_cast<ZoomMode>(tag);
    } else {
        zoomMode = ZoomMode::fixed;
        scale = tag / 100.0;
    }
    checkZoomItem();
    HScrollBar->setValue(0);
    layoutPages();
    engine().lastScale = scale;
    engine().lastZoomMode = static_cast<std::uint8_t>(zoomMode);
    PBox->update();
}

}  // namespace quor
