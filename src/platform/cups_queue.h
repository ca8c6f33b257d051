#pragma once

// One CUPS destination with its printer information: what the device layer
// asks of a queue (papers, trays, default settings, page geometry) and the
// job options that carry a device mode. Every query is answered from the
// information read when the object was made.

#include <cups/cups.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/paper_geometry.h"
#include "platform/platform_printer.h"

namespace quor {

// Bin code of a CUPS media-source keyword: the platform's bin codes where
// one fits ("auto" 7, "manual" 4, ...), else 256 + the keyword's position
// in the printer's list.
int binCodeForSource(std::string_view keyword, int position);
// A readable name for a media-source keyword ("tray-1" -> "Tray 1").
std::string sourceDisplayName(std::string_view keyword);

// The paper a device mode asks for, as the queue knows it.
struct MediaChoice {
    std::string media;  // PWG media name for the job
    SheetGeometry sheet;
};

class CupsQueue {
public:
    // Reads the destination's information; throws quor::Error when the
    // queue cannot be reached. `dest` must outlive the object.
    explicit CupsQueue(cups_dest_t* dest);
    ~CupsQueue();
    CupsQueue(const CupsQueue&) = delete;
    CupsQueue& operator=(const CupsQueue&) = delete;

    cups_dest_t* dest() const { return dest_; }
    cups_dinfo_t* info() const { return info_; }
    std::string name() const { return dest_->name; }
    std::string makeAndModel() const;
    std::string deviceUri() const;

    std::vector<PaperKind> papers() const;
    std::vector<BinKind> bins() const;
    DeviceMode defaultMode() const;
    // Resolution in dots per inch, horizontally and vertically.
    std::pair<int, int> resolution() const;
    MediaChoice media(const DeviceMode& mode) const;
    DeviceMetrics metrics(const DeviceMode& mode) const;
    // copies, media, media-source, orientation-requested.
    std::vector<std::pair<std::string, std::string>> jobOptions(const DeviceMode& mode) const;

private:
    // The value of a job attribute: the destination's own option, else the
    // printer's default; empty when neither is set.
    std::string defaultValue(const char* option) const;
    std::vector<std::string> sources() const;
    std::string sourceForBin(int code) const;
    SheetMargins typicalMargins() const;

    cups_dest_t* dest_;
    cups_dinfo_t* info_;
};

}  // namespace quor
