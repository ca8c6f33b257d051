#pragma once

// The preview window: a report's prepared pages laid out on a grey area,
// zoomable and scrollable (scroll bars, keys, wheel, hand-dragging), with a
// page counter and a small tool strip from which the report is printed.
// While it is open the window holds the report's pages; closing it frees
// them.

#include <QDialog>
#include <functional>
#include <memory>

#include "engine/prepared_pages.h"
#include "output/form_placement.h"
#include "output/preview_layout.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QScrollBar;

namespace quor {

class TfrReport;
class TfrPreviewForm;
class TfrPBox;
class TfrSpeedButton;
class TfrTBButton;
class TfrTBSeparator;

// Makes reports show their prepared pages in this window (fills the
// showPreview hook of reportWindows()).
void installPreviewWindow();

// The text search over the shown pages (Find button, Ctrl+F, F3) lives in
// a unit of its own (preview_search.h), which is what the factory makes by
// default; each window makes its own search state. With an empty factory
// the Find commands do nothing.
class PreviewSearch {
public:
    virtual ~PreviewSearch() = default;
    // Asks for a text and looks for it.
    virtual void find(TfrPreviewForm& form) = 0;
    // Looks for the text given before; nothing when none was given.
    virtual void findNext(TfrPreviewForm& form) = 0;
};
using PreviewSearchFactory = std::function<std::unique_ptr<PreviewSearch>()>;
PreviewSearchFactory setPreviewSearchFactory(PreviewSearchFactory factory);

// Where Load and Save ask for a file name; tests install their own.
// Returns the empty string when the user cancels.
using PreviewFileChooser =
    std::function<QString(QWidget* parent, bool save, const QString& filter)>;
PreviewFileChooser setPreviewFileChooser(PreviewFileChooser chooser);

class TfrPreviewForm : public QDialog {
public:
    explicit TfrPreviewForm(QWidget* parent = nullptr);
    ~TfrPreviewForm() override;

    // Takes the report's pages and shows them; with the report's
    // ModalPreview the call returns when the window has been closed.
    void openFor(TfrReport& report);

    // The window holds the report's prepared pages (the report gets an empty
    // store), and gives them back.
    void takePages();
    void returnPages();

    void setupButtons();
    void refreshView(bool reset);
    // Places the pages for the zoom mode and the page area's size.
    void layoutPages();
    void updatePageLabel();
    // Brings the current page's top 10 pixels below the view's top.
    void scrollToCurrent();

    // Tool actions.
    void ZoomBtnClick();
    void PrintBtnClick();
    void ExitBtnClick();
    void PgUpClick();
    void PgDownClick();
    void LoadBtnClick();
    void SaveBtnClick();
    void FindBtnClick();
    void HelpBtnClick();
    // A zoom menu item: 1 page width, 2 whole page, 3 two pages, else a
    // percentage.
    void N3Click(int tag);
    // Load and Save once the file is named. Errors are shown in a message
    // box; a file that cannot be loaded leaves the shown pages as they were.
    void loadPreparedFile(const QString& fileName);
    void savePreparedFile(const QString& fileName);

    // The window's keys, seen before any control: true when consumed.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    TfrReport* report() const { return report_; }
    // The window's text search (Ctrl+F, F3); null when none is installed.
    PreviewSearch* search() const { return search_.get(); }
    TfrEMFPages& pages() { return pages_; }
    int pageCount() const { return pages_.Count(); }
    bool hasPages() const { return report_ && pages_.Count() > 0; }
    // The page area's size in pixels.
    Size pageAreaSize() const;
    // The page whose screenRect holds a point of the unscrolled layout
    // (1-based), 0 for none.
    int pageAt(Point unscrolled) const;
    // Offers a point of the unscrolled layout on a page (1-based) to the
    // report's object click or mouse-over handling; true when taken.
    bool offerToReport(int page, Point unscrolled, int& cursor, bool isClick);
    // The rectangle the page's content is drawn into, for a page drawn at r.
    Rect contentRect(int index, const Rect& r) const;

    // The view: the current page (1-based), minus the scroll positions,
    // screen pixels per design pixel, the zoom mode; pages are painted only
    // while paintEnabled.
    int currentPage = 1;
    int viewOffsetX = 0;
    int viewOffsetY = 0;
    double scale = 1.0;
    ZoomMode zoomMode = ZoomMode::fixed;
    bool paintEnabled = false;
    int wheelFactor = 1;

    // Controls, named by their role.
    QWidget* ToolPanel = nullptr;
    TfrTBButton* ZoomBtn = nullptr;
    TfrTBButton* LoadBtn = nullptr;
    TfrTBButton* SaveBtn = nullptr;
    TfrTBButton* PrintBtn = nullptr;
    TfrTBButton* PageSetupBtn = nullptr;
    TfrTBButton* FindBtn = nullptr;
    TfrTBButton* HelpBtn = nullptr;
    TfrTBButton* ExitBtn = nullptr;
    TfrTBSeparator* frTBSeparator1 = nullptr;
    TfrTBSeparator* frTBSeparator2 = nullptr;
    TfrTBSeparator* frTBSeparator3 = nullptr;
    QWidget* PreviewPanel = nullptr;
    TfrPBox* PBox = nullptr;
    QScrollBar* VScrollBar = nullptr;
    QScrollBar* HScrollBar = nullptr;
    TfrSpeedButton* PgUp = nullptr;
    TfrSpeedButton* PgDown = nullptr;
    QLabel* Label1 = nullptr;
    QMenu* ProcMenu = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Tab and the arrows never move the focus between controls.
    bool focusNextPrevChild(bool) override { return false; }

private:
    void createToolPanel();
    void createPreviewPanel();
    void createZoomMenu();
    void localize();
    void arrangePreviewPanel();
    void checkZoomItem();
    void VScrollBarChange(int position);
    void HScrollBarChange(int position);
    void releaseAllPages();

    TfrReport* report_ = nullptr;
    TfrEMFPages pages_;
    int lastHorizontal_ = 0;
    int lastVertical_ = 0;
    QActionGroup* zoomItems_ = nullptr;
    QString savedHelpFile_;
    bool helpInstalled_ = false;
    FormPlacement placement_{QStringLiteral("TfrPreviewForm")};
    std::unique_ptr<PreviewSearch> search_;
};

}  // namespace quor
