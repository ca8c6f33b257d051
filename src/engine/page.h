#pragma once

// A template page: its stored fields, its paper (always as the printer device
// reports it) and the margins derived from both. The build state of a page
// (bands, cursor, play list) is added by the band engine; this class keeps
// what a template stores and what every user of a page needs.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/view_context.h"
#include "device/printer_device.h"

namespace quor {

class StreamReader;
class StreamWriter;
class TfrView;
class TfrBand;
struct BuildState;

inline constexpr int kBandKindCount = 23;

enum class BuildMode : std::uint8_t { normal = 0, recording = 1 };
// A recorded band showing, a source moved to its first record, a source
// moved to its next record.
enum class PlayAction : std::uint8_t { show, initSource, nextRecord };

// One entry of a recording page's play list.
struct PlayEntry {
    TfrBand* band = nullptr;
    PlayAction action = PlayAction::show;
};

struct PageMargins {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const PageMargins&, const PageMargins&) = default;
};


// Page types.
inline constexpr std::uint8_t kReportPage = 0;
inline constexpr std::uint8_t kDialogPage = 1;

class TfrPage : public PageContext {
public:
    // Asks the printer device for this paper (see ChangePaper).
    TfrPage(std::int32_t paperSize, std::int32_t paperWidth, std::int32_t paperHeight,
            std::int32_t bin, std::uint8_t orientation);
    ~TfrPage() override;
    TfrPage(const TfrPage&) = delete;
    TfrPage& operator=(const TfrPage&) = delete;

    // Paper, as reported by the printer device.
    std::int32_t PaperSize = 0;
    std::int32_t PaperWidth = 0;   // tenths of a millimetre
    std::int32_t PaperHeight = 0;  // tenths of a millimetre
    std::uint8_t Orientation = 0;  // 0 portrait, 1 landscape
    std::int32_t Bin = automaticBin;
    PrinterInfo prnInfo{};

    PageMargins Margins;  // design pixels; 0 = the printable-area offset
    bool UseMargins = true;
    bool PrintToPrevPage = false;
    std::int32_t Columns = 1;
    std::int32_t ColumnWidth = 0;  // computed when a build starts
    std::int32_t ColumnGap = 0;
    std::uint8_t PageType = kReportPage;
    std::string Name;
    bool Visible = true;
    std::vector<std::string> Script;

    // The window of a dialog page.
    std::uint8_t FormBorderStyle = 3;
    std::string FormCaption = "Form";
    std::uint32_t FormColor = 0x8000000F;  // button face
    std::int32_t FormLeft = 220;
    std::int32_t FormTop = 120;
    std::int32_t FormWidth = 380;
    std::int32_t FormHeight = 300;
    std::uint8_t FormPosition = 4;  // screen centre

    // Hands the format to the printer device; when the device rejects it,
    // tries once more as a user-defined size in the default bin. Keeps what
    // the device then reports, and the bin it was given.
    void ChangePaper(std::int32_t paperSize, std::int32_t paperWidth, std::int32_t paperHeight,
                     std::int32_t bin, std::uint8_t orientation);

    // The page record without its tag, in the version of the stream being
    // read (engine state); writing always gives the current layout.
    void LoadFromStream(StreamReader& in);
    void SaveToStream(StreamWriter& out) const;

    // Views, owned, in template order.
    const std::vector<std::unique_ptr<TfrView>>& Objects() const { return objects_; }
    std::size_t objectCount() const { return objects_.size(); }
    TfrView* object(std::size_t i) const { return objects_[i].get(); }
    TfrView* addObject(std::unique_ptr<TfrView> view);
    void clearObjects();

    // First view with this name, letter case ignored; none if absent.
    TfrView* FindView(std::string_view name) const;

    // PageContext: the printable edges and the views.
    int printableLeft() const override { return LeftEdge(); }
    int printableRight() const override { return RightEdge(); }
    std::vector<TfrView*> objects() const override;

    // Derived margins in design pixels, from the margins and the printer's
    // page metrics; while a build runs, the bottom one leaves the page
    // footer's height free.
    std::int32_t LeftEdge() const;
    std::int32_t TopEdge() const;
    std::int32_t RightEdge() const;
    std::int32_t BottomEdge() const;

    // Build state (see page_build.cpp and page_pass.cpp).
    std::array<TfrBand*, kBandKindCount> Bands{};  // first band of each kind's chain
    int CursorY = 0;
    int BottomLimit = 0;
    int ShiftX = 0;
    int ColumnNo = 0;
    int ColumnTop = 0;
    bool NoRepeatHeaders = false;
    TfrBand* LastDrawnBand = nullptr;
    BuildMode buildMode = BuildMode::normal;
    std::vector<PlayEntry> PlayList;
    std::size_t PlayIndex = 0;
    TfrBand* ResumeBand = nullptr;
    bool IsSubreport = false;
    int CrossColumn = 1;
    int RecordNo = 1;
    bool InitDone = false;
    int pageNumber = 0;  // 1-based index among the template pages
    BuildState* build = nullptr;

    // Creates the bands of every kind and hands every view to its band.
    void InitBuild(BuildState& state);
    void DoneBuild();
    // One page-template pass.
    void FormPage();
    void NewPage();
    void NewColumn(TfrBand* band);
    void CloseFootedPages();
    // True when a band at `top` with `height` does not fit; then, unless
    // checkOnly, a new column or page is started.
    bool FitsOrBreak(int top, int height, bool checkOnly, TfrBand* band = nullptr);
    void ShowBand(TfrBand* band);
    // Plays the recorded list on from PlayIndex; true when a band did not
    // fit and the page continues later.
    bool Replay();
    // Binds every band to its source and its group condition.
    void BindSources();
    void ShowBandByName(std::string_view name);
    TfrBand* band(int kind) const { return Bands[static_cast<std::size_t>(kind)]; }
    bool bandExists(int kind) const;
    int columnFooterHeight() const;
    // Runs the page's OnBeforePrint script through the error routine.
    void runPageScript();

private:
    void createBands();
    void distributeCrossViews();
    void distributeHorizontalViews();
    void linkHeadersAndFooters();
    void linkGroupsAndChildren();
    TfrBand* bandOfView(std::string_view name) const;

    std::vector<std::unique_ptr<TfrView>> objects_;
    std::vector<std::unique_ptr<TfrBand>> bandStore_;
};

}  // namespace quor
