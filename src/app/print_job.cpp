#include "app/print_job.h"

#include <utility>

#include "app/command_line.h"
#include "app/document_text.h"
#include "app/dos_printer.h"
#include "app/printout_pages.h"
#include "engine/memo_view.h"
#include "engine/picture_view.h"
#include "engine/stream.h"
#include "device/printer_device.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "report/builtin_templates.h"

namespace quor {
namespace {

const char* const kNoPrinter = "В системе не установлен принтер...";
// "FontStyle" is a set of four styles in its low byte; other bits name none.
constexpr unsigned kStyleBits = kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut;
// Far beyond any page in either sign (a negative size counts from the
// character's cell), and small enough that no layout arithmetic overflows.
constexpr std::int32_t kMaxFontSize = 32767;

std::int32_t checkedFontSize(std::int32_t size) {
    if (size < -kMaxFontSize || size > kMaxFontSize)
        throw Error("\"FontSize\" " + std::to_string(size) + " cannot be laid out: a font size lies between " +
                    std::to_string(-kMaxFontSize) + " and " + std::to_string(kMaxFontSize) + " points");
    return size;
}

}  // namespace

QuorPrintJob::QuorPrintJob(TFormStorage& settings) : FS(settings) {
    frRep.DefaultCopies = 1;
    frRep.GrayedButtons = true;
    frRep.initialZoom = InitialZoom::pzDefault;
    frRep.ModifyPrepared = false;
    frRep.PreviewButtons = pbZoom | pbPrint | pbExit;
    frRep.ShowPrintDialog = false;
    frRep.ShowProgress = false;
    frRep.OnBeginBand = [this](TfrBand& band) { frRepBeginBand(band); };
}

void QuorPrintJob::checkCopies() {
    try {
        const std::int32_t copies = FS.ReadInteger("Copies", 1);
        PlatformPrinter* platform = printerDevice().platformPrinter();
        if (!platform) throw Error(kNoPrinter);
        platform->setCopies(copies);
    } catch (const std::exception&) {
        showMessage(kNoPrinter, kApplicationTitle);
    }
}

TfrPictureView& QuorPrintJob::picture(const char* name) const {
    auto* view = dynamic_cast<TfrPictureView*>(frRep.FindView(name));
    if (!view) throw Error(std::string("The template has no picture ") + name);
    return *view;
}

void QuorPrintJob::applyTextSettings(const std::function<std::string()>& documentBytes, const std::string& name) {
    auto* FM1 = dynamic_cast<TfrMemoView*>(frRep.FindView("FM1"));
    if (!FM1 || frRep.TemplatePages.Count() == 0) throw Error("The template has no text object FM1");
    FM1->Left = number("TextLeft", "36");
    frRep.TemplatePages[0].Margins.top = number("TextTop", "36");
    FM1->LineSpacing = number("TextX", "2");
    FM1->CharSpacing = number("TextY", "0");
    FM1->Font.name = FS.ReadString("FontName", "Courier New");
    FM1->Font.pointSize = checkedFontSize(FS.ReadInteger("FontSize", 10));
    FM1->Font.color = static_cast<Color>(FS.ReadInteger("FontColor", 0));
    FM1->Font.style = static_cast<unsigned>(FS.ReadInteger("FontStyle", 0)) & kStyleBits;
    const DosPrinterSettings dos = readDosPrinterSettings(FS);
    FM1->Font.charset = dos.charset;
    PrintoutText text = splitPrintout(printedBytes(documentBytes(), dos), dos.formFeed);
    checkDocumentLines(text.lines, name);
    layOutPrintout(frRep, *FM1, std::move(text), dos);
}

void QuorPrintJob::loadTemplate(const std::function<std::string()>& documentBytes, const std::string& title) {
    const bool landscape = FS.ReadInteger("Orientation", 0) == 1;
    {
        const std::string bytes =
            openBuiltinTemplate(landscape ? kLandscapeTemplateType : kPortraitTemplateType, kBuiltinTemplateName);
        StreamReader in(bytes);
        frRep.LoadFromStream(in);
    }
    applyTextSettings(documentBytes, title);
    frRep.Title = title;
}

bool QuorPrintJob::QuorDocumentPrint(const std::string& document, const std::string& settingsFile) {
    FS.setIniFileName(settingsFile);
    checkCopies();
    const bool standardInput = document == kStandardInputName;
    const auto bytes = [&] {
        // Settings that take printer codes out need the bytes after a 0.
        DocumentReading reading = documentReading;
        reading.stopAtZero = !readDosPrinterSettings(FS).printerCodes;
        return standardInput ? readStandardInputBytes(reading) : readDocumentBytes(document, reading);
    };
    loadTemplate(bytes, !title.empty() ? title : standardInput ? kStandardInputTitle : document);
    const bool preview = FS.ReadString("Preview", "False") == "True";

    if (!frRep.Prepare()) return false;
    deliver(preview);
    return true;
}

bool QuorPrintJob::QuorPreparedPrint(const std::string& preparedFile, const std::string& settingsFile) {
    FS.setIniFileName(settingsFile);
    checkCopies();
    frRep.LoadPreparedReport(preparedFile);
    frRep.Title = preparedFile;
    if (frRep.PreparedPages.Count() == 0) throw Error("The file " + preparedFile + " holds no prepared pages");
    deliver(true);
    return true;
}

void QuorPrintJob::deliver(bool previewAsked) {
    if (OnPrepared) OnPrepared(frRep);
    if (output == JobOutput::none) return;
    if (output == JobOutput::preview || (previewAsked && output == JobOutput::asSettingsSay))
        frRep.ShowPrepared();
    else
        frRep.PrintPrepared("", FS.ReadInteger("Copies", 1), false, PageFilter::allPages);
}

}  // namespace quor
