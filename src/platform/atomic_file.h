#pragma once

// An output file that readers see either as it was or whole: the bytes go
// to an unnamed file in the target's folder (a named hidden one where the
// file system cannot make unnamed files), and only a finished file is
// renamed over the target. Every write, the flush, the sync to disk and
// the close are checked; a failure keeps the old file and raises
// quor::Error with the system's message. A file that is never published
// leaves nothing behind, not even after the process is killed (unnamed
// files).
//
// Two steps, so that a run with several outputs publishes none of them
// before all are complete: finish() makes the bytes safe on disk,
// publish() puts the file in place. commit() does both.

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quor {

class AtomicFile {
public:
    // Opens the temporary file beside `target`; raises quor::Error
    // "Cannot create the file <target>: <reason>".
    explicit AtomicFile(std::string target);
    // Discards the file unless it was published.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Buffers the bytes. A failure is remembered (and reported by finish);
    // false once the file has failed.
    bool write(std::string_view bytes);
    bool failed() const { return !error_.empty(); }
    // Writes what is buffered and syncs the file to disk; raises the first
    // failure of any write.
    void finish();
    // Gives the finished file the hidden name it is renamed from and
    // closes it, so that every failure short of the rename is known;
    // publish() does it when not done before.
    void stage();
    // Renames the finished file over the target and syncs the folder.
    void publish();
    void commit() {
        finish();
        publish();
    }

    const std::string& target() const { return target_; }
    // A path under which this process can read the finished bytes.
    std::string readablePath() const;

private:
    bool flushBuffer();
    void fail(const char* what);
    void raise() const;
    void closeFile();

    std::string target_;
    std::string named_;  // the hidden temporary name, when not unnamed
    int fd_ = -1;
    bool finished_ = false;
    bool published_ = false;
    std::string error_;
    std::vector<char> buffer_;
};

// The outputs of one run: each is written and finished on its own, and
// all are published together once the run has succeeded. Outputs not
// published leave nothing behind.
class AtomicFileSet {
public:
    AtomicFile& add(std::unique_ptr<AtomicFile> file);
    // Publishes every file in the order they were added.
    void publishAll();
    bool empty() const { return files_.empty(); }

private:
    std::vector<std::unique_ptr<AtomicFile>> files_;
};

// The system calls that write, sync and close the files; tests replace
// them to fail where a real disk fails rarely.
struct AtomicFileCalls {
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
};
AtomicFileCalls& atomicFileCalls();

}  // namespace quor
