#pragma once

// The settings dialog's picture of a page: a sample of the document laid out
// by the print job itself (same template, same settings code, same build),
// its first page drawn small, and how many lines of text a page holds.

#include <QImage>

#include <string>
#include <vector>

#include "app/form_storage.h"
#include "app/print_job.h"

namespace quor {

struct PageSample {
    QImage page;          // the whole first sheet; null when nothing was laid out
    int linesPerPage = 0;  // text lines the first page holds when the text runs on
    int pages = 0;         // pages of the sample
    std::string error;     // why nothing was laid out (a setting, a logo, the text)
};

class PageSampler {
public:
    explicit PageSampler(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    // Lays the sample out with the settings file `settingsFile` and draws
    // its first page `width` pixels wide. The printer device must be running.
    PageSample sample(const std::string& settingsFile, int width);

private:
    bool prepare(const std::vector<std::string>& lines);
    int firstPageLines();

    std::vector<std::string> lines_;
    TFormStorage fs_{"TfQuorPrint"};
    QuorPrintJob job_{fs_};
};

// Lines for the sample: the beginning of the document at `path`, or a sample
// invoice when there is none or it cannot be read.
std::vector<std::string> documentSample(const std::string& path);

}  // namespace quor
