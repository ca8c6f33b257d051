#include "app/spool_watch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/settings_place.h"
#include "app/spool_files.h"
#include "app/spool_journal.h"
#include "app/spool_printer.h"
#include "app/unattended.h"

namespace quor {
namespace {

// The stop signals, passed from the handler to the event loop.
volatile sig_atomic_t stopSignal = 0;
int signalPipe[2] = {-1, -1};

void onStopSignal(int signal) {
    stopSignal = signal;
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool catchStopSignals() {
    if (::pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // The second signal finds the default action and ends the program.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string absoluteFolder(const std::string& path) {
    const QString absolute = QDir(QFile::decodeName(QByteArray::fromStdString(path))).absolutePath();
    return withSlash(QFile::encodeName(absolute).toStdString());
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool ensureFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    return false;
}

// Held while a watch runs; hidden, like the journal.
constexpr char kSpoolLockName[] = ".quorprn-lock";

// Printouts only: dot files are hidden or temporary, and folders are ours.
bool looksLikePrintout(const char* name) { return name[0] != '\0' && name[0] != '.'; }

class SpoolWatch {
public:
    SpoolWatch(const SpoolTarget& target, std::int64_t settleMs)
        : folder_(target.folder), pdfFolder_(target.pdfFolder), settleMs_(settleMs), printer_(target) {}
    ~SpoolWatch() {
        if (inotify_ >= 0) ::close(inotify_);
        if (lock_ >= 0) ::close(lock_);
    }

    // Makes the subfolders, starts the inotify watch, settles what the
    // journal left, takes the files already there. False with `error`.
    bool start(std::string& error);

private:
    // What an event says about a writer of the file.
    enum class Activity { writing, closed, unknown };
    struct Pending {
        FileStamp stamp;
        std::int64_t quietSinceMs = 0;
        bool writing = false;
    };
    void readEvents();
    void onEvent(const inotify_event& event);
    void notice(const std::string& name, Activity activity);
    void scanFolder();
    void armSettleTimer();
    void takeSettledFiles();
    void runNextJob();
    void stop(int status);

    const std::string folder_;
    const std::string pdfFolder_;
    const std::int64_t settleMs_;
    SpoolPrinter printer_;
    int inotify_ = -1;
    int lock_ = -1;
    std::unique_ptr<QSocketNotifier> events_;
    std::unique_ptr<QSocketNotifier> signals_;
    QTimer settleTimer_;
    std::map<std::string, Pending> pending_;
    // Complete files in the order they print: oldest first.
    std::vector<std::pair<FileStamp, std::string>> ready_;
    bool busy_ = false;
    bool stopping_ = false;
    bool folderGone_ = false;
};

bool SpoolWatch::start(std::string& error) {
    // Two watches of one folder would print each file twice.
    lock_ = ::open((folder_ + kSpoolLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? folder_ + " is watched by another quorprn already"
                                     : "cannot lock " + folder_ + ": " + std::strerror(errno);
        return false;
    }
    for (const char* sub : {"printed/", "failed/"})
        if (!ensureFolder(folder_ + sub)) {
            error = "cannot make " + folder_ + sub + ": " + std::strerror(errno);
            return false;
        }
    if (!pdfFolder_.empty() && !ensureFolder(pdfFolder_)) {
        error = "cannot make " + pdfFolder_ + ": " + std::strerror(errno);
        return false;
    }
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    constexpr std::uint32_t mask = IN_CREATE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM |
                                   IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (inotify_ < 0 || ::inotify_add_watch(inotify_, folder_.c_str(), mask) < 0) {
        error = "cannot watch " + folder_ + ": " + std::strerror(errno);
        return false;
    }
    if (!catchStopSignals()) {
        error = std::string("cannot catch the stop signals: ") + std::strerror(errno);
        return false;
    }
    events_ = std::make_unique<QSocketNotifier>(inotify_, QSocketNotifier::Read);
    QObject::connect(events_.get(), &QSocketNotifier::activated, [this] { readEvents(); });
    signals_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(signals_.get(), &QSocketNotifier::activated, [this] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        // A job in progress ends first; runNextJob stops after it.
        if (!busy_) stop(kExitDone);
    });
    settleTimer_.setSingleShot(true);
    QObject::connect(&settleTimer_, &QTimer::timeout, [this] { takeSettledFiles(); });

    try {
        printer_.recover();
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    scanFolder();
    armSettleTimer();
    spoolLog("watching " + folder_ + ", printing " + printer_.destination());
    return true;
}

void SpoolWatch::stop(int status) {
    if (stopping_) return;
    stopping_ = true;
    settleTimer_.stop();
    spoolLog(status == kExitDone ? "stopped" : "stopped on an error");
    QCoreApplication::exit(status);
}

void SpoolWatch::scanFolder() {
    DIR* dir = ::opendir(folder_.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir))
        if (looksLikePrintout(entry->d_name)) notice(entry->d_name, Activity::unknown);
    ::closedir(dir);
}

void SpoolWatch::readEvents() {
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n <= 0) break;
        std::size_t at = 0;
        const auto size = static_cast<std::size_t>(n);
        while (at + sizeof(inotify_event) <= size) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const std::size_t next = at + sizeof(inotify_event) + event.len;
            if (next > size) break;
            // The name is padded with zeros within `len`.
            std::string name(buffer + at + sizeof(inotify_event), event.len);
            name.resize(std::strlen(name.c_str()));
            onEvent(event);
            if (!(event.mask & (IN_ISDIR | IN_Q_OVERFLOW)) && looksLikePrintout(name.c_str())) {
                if (event.mask & (IN_DELETE | IN_MOVED_FROM)) {
                    pending_.erase(name);
                    std::erase_if(ready_, [&](const auto& item) { return item.second == name; });
                } else if (event.mask & (IN_CREATE | IN_MODIFY)) {
                    notice(name, Activity::writing);
                } else if (event.mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) {
                    notice(name, Activity::closed);
                } else if (event.mask & IN_ATTRIB) {
                    notice(name, Activity::unknown);
                }
            }
            at = next;
        }
    }
    armSettleTimer();
}

void SpoolWatch::onEvent(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) scanFolder();
    if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED) && !folderGone_) {
        spoolLog("the folder " + folder_ + " is gone");
        folderGone_ = true;
        if (!busy_) stop(kExitFailed);
    }
}

// Something happened to the file: it must stay quiet for the settle time
// from now, and closed by a writer that was seen writing.
void SpoolWatch::notice(const std::string& name, Activity activity) {
    std::erase_if(ready_, [&](const auto& item) { return item.second == name; });
    Pending& file = pending_[name];
    stampOf(folder_ + name, file.stamp);
    file.quietSinceMs = nowMs();
    if (activity != Activity::unknown) file.writing = activity == Activity::writing;
}

void SpoolWatch::armSettleTimer() {
    std::int64_t next = LLONG_MAX;
    for (const auto& [name, file] : pending_)
        if (!file.writing) next = std::min(next, file.quietSinceMs + settleMs_);
    if (next == LLONG_MAX) {
        settleTimer_.stop();
        return;
    }
    settleTimer_.start(static_cast<int>(std::clamp<std::int64_t>(next - nowMs(), 0, INT_MAX)));
}

void SpoolWatch::takeSettledFiles() {
    const std::int64_t now = nowMs();
    // Writers that opened a file before the watch saw them, looked up once.
    std::optional<FileIds> heldOpen;
    for (auto it = pending_.begin(); it != pending_.end();) {
        Pending& file = it->second;
        if (file.writing || file.quietSinceMs + settleMs_ > now) {
            ++it;
            continue;
        }
        FileStamp stamp;
        if (!stampOf(folder_ + it->first, stamp)) {
            it = pending_.erase(it);  // gone, or not a plain file
            continue;
        }
        if (!(stamp == file.stamp)) {
            file.stamp = stamp;
            file.quietSinceMs = now;
            ++it;
            continue;
        }
        if (!heldOpen) heldOpen = filesOpenForWriting();
        if (heldOpen->count({stamp.device, stamp.inode})) {
            file.writing = true;  // its close-write event ends the wait
            ++it;
            continue;
        }
        ready_.emplace_back(stamp, it->first);
        it = pending_.erase(it);
    }
    std::stable_sort(ready_.begin(), ready_.end(), [](const auto& a, const auto& b) {
        return a.first.modifiedNs != b.first.modifiedNs ? a.first.modifiedNs < b.first.modifiedNs : a.second < b.second;
    });
    armSettleTimer();
    if (!ready_.empty()) QTimer::singleShot(0, [this] { runNextJob(); });
}

void SpoolWatch::runNextJob() {
    if (busy_ || stopping_) return;
    if (stopSignal) {
        stop(kExitDone);
        return;
    }
    if (ready_.empty()) return;
    const auto [stamp, name] = ready_.front();
    ready_.erase(ready_.begin());
    FileStamp now;
    if (!stampOf(folder_ + name, now)) return runNextJob();
    if (!(now == stamp)) {
        notice(name, Activity::unknown);  // changed since it settled: let it settle again
        armSettleTimer();
        return runNextJob();
    }
    busy_ = true;
    try {
        printer_.print(name, stamp);
    } catch (const std::exception& e) {
        busy_ = false;
        spoolLog(name + ": " + e.what());
        stop(kExitFailed);
        return;
    }
    busy_ = false;
    if (stopSignal || folderGone_) {
        stop(stopSignal ? kExitDone : kExitFailed);
        return;
    }
    if (!ready_.empty()) QTimer::singleShot(0, [this] { runNextJob(); });
}

}  // namespace

int runSpoolWatch(const CommandLine& line) {
    SpoolTarget settings;
    settings.folder = absoluteFolder(line.watchFolder);
    struct stat info {};
    if (::stat(settings.folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        std::fprintf(stderr, "quorprn: cannot watch %s: not a folder\n", line.watchFolder.c_str());
        return kExitFailed;
    }
    if (!line.pdfFolder.empty()) {
        settings.pdfFolder = absoluteFolder(line.pdfFolder);
        if (sameFile(settings.pdfFolder, settings.folder)) {
            std::fprintf(stderr, "quorprn: --pdf-dir must not be the watched folder\n");
            return kExitUsage;
        }
    }
    settings.printerName = line.printerName;
    settings.settingsFile = line.arguments.empty() ? defaultSettingsFile() : line.arguments.front();
    SpoolWatch watch(settings, static_cast<std::int64_t>(line.settleSeconds * 1000 + 0.5));
    std::string error;
    if (!watch.start(error)) {
        std::fprintf(stderr, "quorprn: %s\n", error.c_str());
        return kExitFailed;
    }
    return QCoreApplication::exec();
}

}  // namespace quor
