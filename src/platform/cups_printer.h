#pragma once

// The platform printer over CUPS: the printers are the CUPS destinations;
// a job is drawn into a PDF and submitted to the queue when it ends, with
// copies, media, media-source and orientation-requested as job options.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform_printer.h"

typedef struct cups_dest_s cups_dest_t;

namespace quor {

class CupsQueue;
class PdfSpool;

class CupsPrinter final : public PlatformPrinter {
public:
    CupsPrinter();
    ~CupsPrinter() override;

    void refresh() override;
    const std::vector<std::string>& printers() override;
    int printerIndex() override;
    void setPrinterIndex(int index) override;

    PrinterSetup printerSetup() override;
    void setPrinterSetup(const PrinterSetup& setup) override;

    std::vector<PaperKind> papers(const std::string& device) override;
    std::vector<BinKind> bins(const std::string& device) override;
    DeviceMetrics metrics() override;

    int copies() override;
    void setCopies(int copies) override;

    void setTitle(const std::string& title) override { title_ = title; }
    const std::string& title() const override { return title_; }
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    void abort() override;
    bool printing() const override { return job_ != nullptr; }
    Canvas& canvas() override;

    bool propertiesDialog(const std::string& device, std::optional<DeviceMode>& mode) override;

    // The CUPS id of the last job submitted by endDoc (0 before the first).
    int lastJobId() const { return lastJobId_; }

    // What the scheduler tells of a queue now (the list is read afresh).
    struct QueueStatus {
        bool schedulerReachable = false;
        bool installed = false;
        // Disabled: jobs wait in the queue until it is enabled again.
        bool stopped = false;
        bool acceptingJobs = false;
        std::string reason;  // the queue's state message, if any
    };
    // `name` empty: the queue printing would use (the chosen or default one).
    QueueStatus queueStatus(const std::string& name);

private:
    struct Job;

    void ensureLoaded();
    void freeDestinations();
    cups_dest_t* findDest(const std::string& name) const;
    std::string currentName();
    // The queue's information, read once and kept until refresh (or read
    // afresh); throws quor::Error when it cannot be reached.
    CupsQueue& queue(const std::string& name, bool fresh = false);
    DeviceMode& modeOf(const std::string& name);

    bool loaded_ = false;
    cups_dest_t* dests_ = nullptr;
    int destCount_ = 0;
    std::vector<std::string> names_;
    std::string chosen_;  // empty: the system's default
    std::map<std::string, std::unique_ptr<CupsQueue>> queues_;
    std::map<std::string, DeviceMode> modes_;
    std::string title_;
    std::unique_ptr<Job> job_;
    int lastJobId_ = 0;
};

}  // namespace quor
