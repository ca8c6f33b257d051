#include "companion/page_sample.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <fstream>

#include "app/document_text.h"
#include "companion/settings_keys.h"
#include "engine/memo_view.h"
#include "engine/prepared_pages.h"
#include "output/preview_layout.h"
#include "platform/message_box.h"
#include "platform/qpainter_canvas.h"

static void registerCompanionResources() { Q_INIT_RESOURCE(companion); }

namespace quor {
namespace {

// Enough of a document to fill the first pages; reading more only slows
// every redraw.
constexpr std::size_t kSampleBytes = 64 * 1024;
constexpr std::size_t kSampleLines = 400;
// Blank lines that run past a page however small the font.
constexpr std::size_t kFillLines = 2000;

std::vector<std::string> firstLines(const std::string& bytes, bool cut) {
    std::vector<std::string> lines = splitDocumentLines(bytes);
    // A line cut off by the sample's size is left out.
    if (cut && !lines.empty()) lines.pop_back();
    if (lines.size() > kSampleLines) lines.resize(kSampleLines);
    return lines;
}

}  // namespace

std::vector<std::string> documentSample(const std::string& path) {
    if (!path.empty()) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes(kSampleBytes, '\0');
        if (in && !in.read(bytes.data(), std::streamsize(bytes.size())).bad()) {
            bytes.resize(std::size_t(in.gcount()));
            return firstLines(bytes, bytes.size() == kSampleBytes);
        }
    }
    registerCompanionResources();
    QFile invoice(QStringLiteral(":/companion/invoice.prn"));
    if (!invoice.open(QIODevice::ReadOnly)) return {};
    return firstLines(invoice.readAll().toStdString(), false);
}

bool PageSampler::prepare(const std::vector<std::string>& lines) {
    // The sample goes in as document bytes, so the DOS printer settings act
    // on it as on the printout.
    job_.loadTemplate(
        [&lines] {
            std::string bytes;
            for (const std::string& line : lines) bytes.append(line).append("\r\n");
            return bytes;
        },
        "");
    return job_.report().Prepare();
}

int PageSampler::firstPageLines() {
    TfrEMFPages& pages = job_.report().PreparedPages;
    pages.Unpack(0);
    auto* memo = dynamic_cast<TfrMemoView*>(pages.Item(0).Page->FindView("FM1"));
    return memo ? static_cast<int>(memo->Memo.size()) : 0;
}

PageSample PageSampler::sample(const std::string& settingsFile, int width) {
    PageSample result;
    fs_.setIniSection(kSettingsSection);
    fs_.setIniFileName(settingsFile);
    // The engine reports a build error in a box; here it is the picture's caption.
    MessageCapture messages;
    try {
        if (!prepare(lines_) || job_.report().PreparedPages.Count() == 0) {
            result.error = messages.messages().empty() ? "Страница не построена" : messages.messages().back().text;
            return result;
        }
        TfrEMFPages& pages = job_.report().PreparedPages;
        result.pages = pages.Count();
        PreparedPage& first = pages.Item(0);
        const PrinterInfo& info = first.prnInfo;
        if (info.pageWidth > 0 && info.pageHeight > 0 && width > 0) {
            const double scale = double(width) / info.pageWidth;
            const int height = std::max(1, int(info.pageHeight * scale + 0.5));
            result.page = QImage(width, height, QImage::Format_RGB32);
            result.page.fill(Qt::white);
            QPainterCanvas canvas(&result.page);
            first.Visible = true;
            pages.Draw(0, canvas, pageContentRect(first, Rect{0, 0, width, height}, scale));
        }
        result.linesPerPage = firstPageLines();
        // A text that ends on the first page says nothing of how many lines
        // fit: lay blank lines after it until it runs on.
        if (result.linesPerPage >= int(lines_.size())) {
            std::vector<std::string> filled = lines_;
            filled.resize(std::max(kFillLines, lines_.size() * 2));
            if (prepare(filled)) result.linesPerPage = firstPageLines();
        }
    } catch (const std::exception& e) {
        result = PageSample{};
        result.error = e.what();
    }
    return result;
}

}  // namespace quor
