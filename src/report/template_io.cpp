#include "report/template_io.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "engine/engine_state.h"
#include "engine/stream.h"
#include "engine/view.h"
#include "engine/view_factory.h"
#include "device/printer_device.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "report/report.h"

namespace quor {

namespace {

constexpr char kVirtualPrinterCode[] = "\x01";
constexpr int kFramedMemoTail = 8;
constexpr int kMaxGeneratedPageNumber = 10000;

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

void showError(const std::string& text) {
    showMessage(text, message(kMsgErrorCaption), MessageIcon::Error);
}

// Pages of streams before version 24 carry no name: "Page" and the first
// number no other page of the report has.
std::string generatedPageName(const TfrPages& pages, const TfrPage& page) {
    for (int n = 1; n <= kMaxGeneratedPageNumber; ++n) {
        std::string name = "Page" + std::to_string(n);
        bool taken = false;
        for (std::size_t i = 0; i < pages.Count() && !taken; ++i)
            taken = &pages[i] != &page && pages[i].Name == name;
        if (!taken) return name;
    }
    return {};
}

class TemplateReader {
public:
    TemplateReader(TfrReport& report, StreamReader& in, int version)
        : report_(report), in_(in), version_(version) {}

    void readHeader() {
        report_.UseDefaultPrinter = in_.flag16();
        report_.TwoPass = in_.flag16();
        std::string printer = in_.vtext(version_);
        if (printer == kVirtualPrinterCode) printer = message(kMsgVirtualPrinter);
        report_.SelectPrinterByName(printer);
    }

    // Reads records up to the end of the stream or a data-source block.
    void readRecords() {
        while (in_.position() < in_.size()) {
            const auto recordStart = in_.position();
            const std::uint8_t tag = in_.u8();
            if (tag == kTagPage) {
                readPage();
            } else if (tag == kTagDictionary) {
                report_.Dictionary.LoadFromStream(in_);
            } else if (tag == kTagDataSources) {
                return;  // no data-source manager is installed
            } else if (tag > kLastObjectKind) {
                throw FormatError("invalid record tag " + std::to_string(tag));
            } else {
                readObject(tag, recordStart);
                // A record that seeks back before its own start would be read
                // again and again.
                if (in_.position() <= recordStart)
                    throw FormatError("object record does not advance the stream");
            }
        }
    }

private:
    void readPage() {
        TfrPage& page = report_.TemplatePages.Add();
        page.LoadFromStream(in_);
        if (version_ < kTemplateVersion) page.Name = generatedPageName(report_.TemplatePages, page);
    }

    void readObject(std::uint8_t kind, std::size_t recordStart) {
        bool endKnown = false;
        std::size_t end = 0;
        try {
            std::string className;
            bool framedMemo = false;
            if (kind == kKindNamedClass) {
                className = in_.vtext(version_);
                const std::string key = upper(className);
                if (key == "TFRBDELOOKUPCONTROL" || key == "TFRIBXLOOKUPCONTROL") {
                    className = "TfrDBLookupControl";
                } else if (key == "TFRFRAMEDMEMOVIEW") {
                    kind = kKindMemo;
                    framedMemo = true;
                }
            }
            const std::uint8_t pageIndex = in_.u8();
            if (pageIndex >= report_.TemplatePages.Count())
                throw FormatError("object on page " + std::to_string(pageIndex) +
                                  " of a report with fewer pages");
            TfrPage& page = report_.TemplatePages[pageIndex];
            engine().currentPage = &page;

            std::unique_ptr<TfrView> created;
            if (kind == kKindNamedClass) {
                created = ViewFactory::instance().createByClassName(className);
                if (!created) {
                    report_.missingClasses += className + "\r";
                    report_.classesMissing = true;
                    throw FormatError("class " + className + " is not registered");
                }
            } else {
                created = ViewFactory::instance().create(kind);
            }
            TfrView* view = nullptr;
            if (created) {
                created->ID = nextObjectId();
                view = page.addObject(std::move(created));
            }
            if (version_ >= kTemplateVersion) {
                end = static_cast<std::size_t>(static_cast<std::uint32_t>(in_.i32()));
                endKnown = true;
            }
            if (view) {
                std::exception_ptr failure;
                try {
                    view->LoadFromStream(in_);
                } catch (...) {
                    failure = std::current_exception();
                }
                view->SetProperty("Name", Variant(view->Name));
                if (failure) std::rethrow_exception(failure);
            }
            if (framedMemo) in_.skip(kFramedMemoTail);
            if (endKnown) seekToEnd(end, recordStart);
        } catch (const std::exception&) {
            // Damage inside one object costs that object only.
            if (version_ >= kTemplateVersion) {
                if (!endKnown) end = static_cast<std::size_t>(static_cast<std::uint32_t>(in_.i32()));
                seekToEnd(end, recordStart);
            }
        }
    }

    // An end position at or before the record's start would make the reader
    // loop; such a record continues from where its body ended.
    void seekToEnd(std::size_t end, std::size_t recordStart) {
        if (end > recordStart) in_.seek(std::min(end, in_.size()));
    }

    TfrReport& report_;
    StreamReader& in_;
    const int version_;
};

void replaceWithOneEmptyPage(TfrReport& report) {
    report.TemplatePages.Clear();
    try {
        report.TemplatePages.Add();
    } catch (const std::exception&) {
        // The printer device refused even the default paper; the report
        // stays without pages rather than failing the load.
    }
}

}  // namespace

std::string classesMissingText(const std::string& missingClasses) {
    return "Report contains the following non-plugged components:\r" + missingClasses +
           "You must include these components into your project.";
}

void readTemplate(TfrReport& report, StreamReader& in) {
    report.Dictionary.Clear();
    const std::size_t start = in.position();
    if (start >= in.size()) return;

    int version = in.u8();
    if (version < kOldestTemplateVersion) {
        version = kOldestTemplateVersion;
        in.seek(start);
    } else if (version > kTemplateVersion) {
        showError(message(kMsgInvalidTemplate));
        return;
    }
    engine().streamVersion = version;

    report.missingClasses.clear();
    report.classesMissing = false;
    struct CurrentPageReset {
        ~CurrentPageReset() { engine().currentPage = nullptr; }
    } currentPageReset;
    try {
        report.TemplatePages.Clear();
        report.Dictionary.Clear();
        report.TwoPass = false;
        TemplateReader reader(report, in, version);
        reader.readHeader();
        reader.readRecords();
    } catch (const std::exception&) {
        showError(message(kMsgInvalidTemplate));
        replaceWithOneEmptyPage(report);
        return;
    }

    if (report.classesMissing) showError(classesMissingText(report.missingClasses));
    // No view class of this system needs a notification after loading.
}

void writeTemplate(const TfrReport& report, StreamWriter& out) {
    out.u8(kTemplateVersion);
    out.flag16(report.UseDefaultPrinter);
    out.flag16(report.TwoPass);
    const TfrPrinter& device = printerDevice();
    out.vtext(device.isVirtual() ? std::string(kVirtualPrinterCode)
                                 : device.printerNames().at(device.currentIndex()));

    const TfrPages& pages = report.TemplatePages;
    if (pages.Count() > 256)
        throw Error("a template holds at most 256 pages");
    for (std::size_t p = 0; p < pages.Count(); ++p) {
        out.u8(kTagPage);
        pages[p].SaveToStream(out);
    }
    for (std::size_t p = 0; p < pages.Count(); ++p) {
        for (const auto& view : pages[p].Objects()) {
            out.u8(view->objectKind);
            if (view->objectKind == kKindNamedClass) out.vtext(view->className());
            out.u8(static_cast<std::uint8_t>(p));
            const std::size_t endField = out.position();
            out.i32(0);
            view->SaveToStream(out);
            out.patchI32(endField, static_cast<std::int32_t>(out.position()));
        }
    }
    out.u8(kTagDictionary);
    report.Dictionary.SaveToStream(out);
}

}  // namespace quor
