#include "app/command_line.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace quor {
namespace {

// "512", "64K", "200M", "2G": bytes in binary units; nothing for anything else.
std::optional<std::uint64_t> parseSize(const std::string& text) {
    std::uint64_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (std::uint64_t{1} << 40)) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    if (i == 0) return std::nullopt;
    int shift = 0;
    if (i + 1 == text.size()) {
        const char unit = static_cast<char>(text[i] & ~0x20);
        shift = unit == 'K' ? 10 : unit == 'M' ? 20 : unit == 'G' ? 30 : -1;
        ++i;
    }
    if (shift < 0 || i != text.size() || value == 0 || value > (std::uint64_t{1} << 40)) return std::nullopt;
    return value << shift;
}

// A settle time longer than this is surely a typing mistake.
constexpr double kMaxSettleSeconds = 24 * 3600;

std::string* valueOption(CommandLine& line, std::string_view name, std::string& settle, std::string& size) {
    if (name == "--pdf") return &line.pdfFile;
    if (name == "--printer") return &line.printerName;
    if (name == "--save-prepared") return &line.preparedFile;
    if (name == "--title") return &line.title;
    if (name == "--open-prepared") return &line.openPrepared;
    if (name == "--watch") return &line.watchFolder;
    if (name == "--pdf-dir") return &line.pdfFolder;
    if (name == "--settle") return &settle;
    if (name == "--max-document-size") return &size;
    return nullptr;
}

bool parseSeconds(const std::string& text, double& seconds) {
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(seconds) && seconds >= 0 && seconds <= kMaxSettleSeconds;
}

// The combinations that make no sense; empty when the line is sound.
std::string conflict(const CommandLine& line, bool settleGiven) {
    const std::size_t count = line.arguments.size();
    if (!line.pdfFile.empty() && !line.printerName.empty()) return "--pdf and --printer exclude each other";
    if (line.watching()) {
        if (!line.pdfFile.empty()) return "--watch prints into --pdf-dir, not --pdf";
        if (!line.preparedFile.empty() || !line.openPrepared.empty() || !line.title.empty() || line.preview)
            return "--watch takes only --printer, --pdf-dir and --settle";
        if (!line.pdfFolder.empty() && !line.printerName.empty()) return "--pdf-dir and --printer exclude each other";
        return count > 1 ? "--watch takes at most a settings file" : "";
    }
    if (!line.pdfFolder.empty() || settleGiven) return "--pdf-dir and --settle go with --watch";
    if (line.preview && line.unattended()) return "--preview shows a window; it excludes --pdf, --printer and --save-prepared";
    if (!line.openPrepared.empty()) {
        if (line.preview || !line.title.empty()) return "--open-prepared takes no --preview or --title";
        return count > 1 ? "--open-prepared takes at most a settings file" : "";
    }
    if (line.unattended() || line.preview || !line.title.empty()) {
        if (count == 0) return "no document given";
        if (count > 2 && line.unattended()) return "too many arguments";
    }
    return "";
}

}  // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& words, std::string& error) {
    CommandLine line;
    std::string settle;
    std::string sizeText;
    std::size_t i = 0;
    for (; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            ++i;
            break;
        }
        if (word.size() < 2 || word[0] != '-') break;
        if (word == "--help" || word == "-h") {
            line.help = true;
            continue;
        }
        if (word == "--version") {
            line.version = true;
            continue;
        }
        if (word == "--preview") {
            line.preview = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string_view name = std::string_view(word).substr(0, equals);
        std::string* target = valueOption(line, name, settle, sizeText);
        if (!target) {
            error = "unknown option " + std::string(name);
            return std::nullopt;
        }
        if (equals != std::string::npos) {
            *target = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            *target = words[++i];
        } else {
            error = "option " + word + " needs a value";
            return std::nullopt;
        }
        if (target->empty()) {
            error = "option " + std::string(name) + " needs a value";
            return std::nullopt;
        }
    }
    line.arguments.assign(words.begin() + static_cast<std::ptrdiff_t>(i), words.end());
    if (line.help || line.version) return line;
    if (!sizeText.empty()) {
        const std::optional<std::uint64_t> size = parseSize(sizeText);
        if (!size) {
            error = "--max-document-size takes a size such as 2G, 500M or 4096, not " + sizeText;
            return std::nullopt;
        }
        line.maxDocumentBytes = *size;
    }
    if (!settle.empty() && !parseSeconds(settle, line.settleSeconds)) {
        error = "--settle needs a number of seconds from 0 to 86400, not " + settle;
        return std::nullopt;
    }
    error = conflict(line, !settle.empty());
    if (!error.empty()) return std::nullopt;
    return line;
}

std::string usageText() {
    return "Usage: quorprn [options] [DOCUMENT [SETTINGS]]\n"
           "       quorprn --watch DIR [--printer NAME | --pdf-dir OUTDIR] [--settle SECONDS] [SETTINGS]\n"
           "       quorprn --open-prepared FILE.frp [--pdf FILE | --printer NAME] [SETTINGS]\n"
           "Prints a DOS print file (CP866 text) with the settings of an INI file\n"
           "(default: quorprn.ini beside the program, section [Quor Print]; when the\n"
           "program's folder is not writable and has none, ~/.config/quorprn/quorprn.ini).\n"
           "\n"
           "Without options the window opens; with a DOCUMENT it prints (or, with\n"
           "Preview=True, previews) the document and closes. A DOCUMENT \"-\" is read\n"
           "from standard input.\n"
           "\n"
           "  --preview              show the DOCUMENT in the preview whatever Preview says\n"
           "  --title TEXT           the title of the job and the PDF (default: the\n"
           "                         DOCUMENT's path, \"stdin\" for standard input)\n"
           "\n"
           "Unattended printing, without a window or a display:\n"
           "  --pdf FILE             print into the PDF file FILE\n"
           "  --printer NAME         print on the CUPS queue NAME\n"
           "  --save-prepared FILE   save the prepared pages as FILE (*.frp); alone,\n"
           "                         build and save without printing\n"
           "Messages go to standard error; \"Preview\" has no effect. Exit status:\n"
           "0 everything asked for was written, 1 the job failed (or waits in a\n"
           "disabled queue) and no output was replaced, 2 bad options or an output\n"
           "that is one of the inputs.\n"
           "\n"
           "  --max-document-size SIZE\n"
           "                         refuse documents larger than SIZE (bytes, or\n"
           "                         with K, M or G; default 1G)\n"
           "\n"
           "Prepared pages:\n"
           "  --open-prepared FILE   show saved prepared pages (*.frp) in the preview, or\n"
           "                         print them with --pdf or --printer\n"
           "\n"
           "Spool folder (runs until SIGTERM or SIGINT, which stop after the current job):\n"
           "  --watch DIR            print every file that appears in DIR once it is\n"
           "                         complete, then move it to DIR/printed/ (or, when it\n"
           "                         failed, to DIR/failed/ with NAME.log beside it)\n"
           "  --pdf-dir OUTDIR       print each file into OUTDIR/NAME.pdf instead of a printer\n"
           "  --settle SECONDS       how long a file must stay unchanged (default 2)\n"
           "Exit status: 0 after a clean stop, 1 DIR cannot be watched, 2 bad options.\n"
           "\n"
           "  --help                 this text\n"
           "  --version              the program's version\n"
           "  --                     ends the options\n";
}

}  // namespace quor
