#include "platform/cups_queue.h"

#include <cups/pwg.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/error.h"
#include "platform/numbers.h"

namespace quor {

namespace {

constexpr int kFallbackDpi = 300;
constexpr int kFirstDriverBin = 256;  // codes from here on are the driver's own

struct KnownSource {
    const char* keyword;
    int code;
};
// The platform's bin codes for the IPP media-source keywords that have one.
constexpr KnownSource kKnownSources[] = {
    {"top", 1},      {"bottom", 2},   {"middle", 3},          {"manual", 4},
    {"envelope", 5}, {"auto", 7},     {"large-capacity", 11},
};

std::string attributeText(ipp_attribute_t* attr) {
    if (!attr) return {};
    char buf[1024];
    ippAttributeString(attr, buf, sizeof buf);
    std::string s(buf);
    return s == "no-value" ? std::string() : s;
}

}  // namespace

int binCodeForSource(std::string_view keyword, int position) {
    for (const KnownSource& k : kKnownSources)
        if (keyword == k.keyword) return k.code;
    return kFirstDriverBin + position;
}

std::string sourceDisplayName(std::string_view keyword) {
    std::string name(keyword);
    std::replace(name.begin(), name.end(), '-', ' ');
    if (!name.empty()) name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

CupsQueue::CupsQueue(cups_dest_t* dest) : dest_(dest), info_(nullptr) {
    if (!dest_) throw Error("Printer selected is not valid");
    info_ = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest_);
    if (!info_)
        throw Error(std::string("The printer \"") + dest_->name + "\" cannot be reached: " + cupsLastErrorString());
}

CupsQueue::~CupsQueue() { cupsFreeDestInfo(info_); }

std::string CupsQueue::makeAndModel() const {
    const char* v = cupsGetOption("printer-make-and-model", dest_->num_options, dest_->options);
    return v ? v : "";
}

std::string CupsQueue::deviceUri() const {
    const char* v = cupsGetOption("device-uri", dest_->num_options, dest_->options);
    if (!v) v = cupsGetOption("printer-uri-supported", dest_->num_options, dest_->options);
    return v ? v : "";
}

std::string CupsQueue::defaultValue(const char* option) const {
    const char* own = cupsGetOption(option, dest_->num_options, dest_->options);
    if (own && *own) return own;
    return attributeText(cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest_, info_, option));
}

std::vector<std::string> CupsQueue::sources() const {
    std::vector<std::string> out;
    ipp_attribute_t* attr = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest_, info_, "media-source");
    for (int i = 0; attr && i < ippGetCount(attr); ++i)
        if (const char* k = ippGetString(attr, i, nullptr)) out.emplace_back(k);
    return out;
}

std::vector<PaperKind> CupsQueue::papers() const {
    std::vector<PaperKind> out;
    const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest_, info_, CUPS_MEDIA_FLAGS_DEFAULT);
    for (int i = 0; i < count; ++i) {
        cups_size_t size;
        if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest_, info_, i, CUPS_MEDIA_FLAGS_DEFAULT, &size)) continue;
        // Sizes without a standard code are left out: the device addresses
        // them as custom sizes.
        const int code = standardPaperCode(size.width, size.length);
        if (code <= 0) continue;
        if (std::any_of(out.begin(), out.end(), [&](const PaperKind& p) { return p.code == code; })) continue;
        out.push_back(PaperKind{static_cast<std::uint16_t>(code), standardPaperName(code)});
    }
    return out;
}

std::vector<BinKind> CupsQueue::bins() const {
    std::vector<BinKind> out;
    const std::vector<std::string> keys = sources();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const char* localized = cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest_, info_, "media-source", keys[i].c_str());
        std::string name = localized && keys[i] != localized ? std::string(localized) : sourceDisplayName(keys[i]);
        out.push_back(BinKind{static_cast<std::uint16_t>(binCodeForSource(keys[i], static_cast<int>(i))), name});
    }
    return out;
}

std::string CupsQueue::sourceForBin(int code) const {
    const std::vector<std::string> keys = sources();
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (binCodeForSource(keys[i], static_cast<int>(i)) == code) return keys[i];
    return {};
}

DeviceMode CupsQueue::defaultMode() const {
    DeviceMode m;
    m.fields = kDmOrientation | kDmPaperSize | kDmCopies;

    int width = 0;
    int length = 0;
    const std::string media = defaultValue("media");
    cups_size_t size;
    if (!media.empty() && cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest_, info_, media.c_str(),
                                                 CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
        width = size.width;
        length = size.length;
    } else if (pwg_media_t* pwg = media.empty() ? nullptr : pwgMediaForPWG(media.c_str())) {
        width = pwg->width;
        length = pwg->length;
    } else if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest_, info_, CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
        width = size.width;
        length = size.length;
    }
    const int code = standardPaperCode(width, length);
    if (code > 0) {
        m.paperSize = static_cast<std::int16_t>(code);
    } else if (width > 0 && length > 0 && width / 10 <= 32767 && length / 10 <= 32767) {
        m.paperSize = kCustomPaperCode;
        m.fields |= kDmPaperLength | kDmPaperWidth;
        m.paperWidth = static_cast<std::int16_t>(roundInt(width / 10.0));
        m.paperLength = static_cast<std::int16_t>(roundInt(length / 10.0));
    } else {
        m.paperSize = 9;
    }

    const std::string orientation = defaultValue("orientation-requested");
    const bool landscape = orientation == "4" || orientation == "5" || orientation == "landscape" ||
                           orientation == "reverse-landscape";
    m.orientation = landscape ? kDmLandscape : kDmPortrait;

    const int copies = std::atoi(defaultValue("copies").c_str());
    m.copies = static_cast<std::int16_t>(std::clamp(copies, 1, 9999));

    const std::vector<std::string> keys = sources();
    if (!keys.empty()) {
        m.fields |= kDmDefaultSource;
        const std::string wanted = defaultValue("media-source");
        auto it = std::find(keys.begin(), keys.end(), wanted);
        if (it == keys.end()) it = std::find(keys.begin(), keys.end(), "auto");
        if (it == keys.end()) it = keys.begin();
        const int position = static_cast<int>(it - keys.begin());
        m.defaultSource = static_cast<std::int16_t>(binCodeForSource(*it, position));
    }
    return m;
}

std::pair<int, int> CupsQueue::resolution() const {
    ipp_attribute_t* attr = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest_, info_, "printer-resolution");
    if (!attr) attr = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest_, info_, "printer-resolution");
    if (!attr || ippGetValueTag(attr) != IPP_TAG_RESOLUTION || ippGetCount(attr) < 1)
        return {kFallbackDpi, kFallbackDpi};
    int y = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    int x = ippGetResolution(attr, 0, &y, &units);
    if (units == IPP_RES_PER_CM) {
        x = roundInt(x * 2.54);
        y = roundInt(y * 2.54);
    }
    if (x <= 0 || y <= 0) return {kFallbackDpi, kFallbackDpi};
    return {x, y};
}

SheetMargins CupsQueue::typicalMargins() const {
    cups_size_t size;
    if (!cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest_, info_, CUPS_MEDIA_FLAGS_DEFAULT, &size)) return {};
    return SheetMargins{size.left, size.bottom, size.right, size.top};
}

MediaChoice CupsQueue::media(const DeviceMode& mode) const {
    std::optional<Size> wanted = requestedPaperSize(mode);
    if (!wanted) wanted = requestedPaperSize(defaultMode());
    if (!wanted) throw Error("The printer has no paper size");
    MediaChoice c;
    c.sheet.width = wanted->width;
    c.sheet.length = wanted->height;
    cups_size_t size;
    const bool known = cupsGetDestMediaBySize(CUPS_HTTP_DEFAULT, dest_, info_, c.sheet.width, c.sheet.length,
                                              CUPS_MEDIA_FLAGS_DEFAULT, &size) != 0;
    c.sheet.margins = known ? SheetMargins{size.left, size.bottom, size.right, size.top} : typicalMargins();
    if (pwg_media_t* pwg = pwgMediaForSize(c.sheet.width, c.sheet.length); pwg && pwg->pwg)
        c.media = pwg->pwg;
    else if (known)
        c.media = size.media;
    return c;
}

DeviceMetrics CupsQueue::metrics(const DeviceMode& mode) const {
    const auto [dpiX, dpiY] = resolution();
    return sheetMetrics(media(mode).sheet, dpiX, dpiY, mode.orientation == kDmLandscape);
}

std::vector<std::pair<std::string, std::string>> CupsQueue::jobOptions(const DeviceMode& mode) const {
    std::vector<std::pair<std::string, std::string>> options;
    options.emplace_back("copies", std::to_string(std::max<int>(1, mode.copies)));
    const MediaChoice choice = media(mode);
    if (!choice.media.empty()) options.emplace_back("media", choice.media);
    if (mode.fields & kDmDefaultSource) {
        const std::string source = sourceForBin(mode.defaultSource);
        if (!source.empty()) options.emplace_back("media-source", source);
    }
    options.emplace_back("orientation-requested", mode.orientation == kDmLandscape ? "4" : "3");
    return options;
}

}  // namespace quor
