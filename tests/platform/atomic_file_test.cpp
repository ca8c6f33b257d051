// The atomic output file: the target changes only on publish, keeps its
// mode, and nothing is left beside it when a file is dropped or fails,
// also when the last write, the sync or the close fails.

#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/error.h"

namespace quor {
namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

TEST(AtomicFile, TheTargetChangesOnlyWhenPublished) {
    QTemporaryDir dir;
    const std::string target = dir.filePath("out.pdf").toStdString();
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    const std::string big(200000, 'b');
    struct Case {
        int publishAfter;  // steps: 0 never, 1 after finish
        std::string expected;
    };
    for (const Case& c : {Case{0, "old"}, Case{1, "new" + big}}) {
        {
            AtomicFile file(target);
            EXPECT_TRUE(file.write("new"));
            EXPECT_TRUE(file.write(big));
            file.finish();
            EXPECT_EQ(contents(file.readablePath()), "new" + big);
            EXPECT_EQ(contents(target), "old");
            if (c.publishAfter) file.publish();
        }
        EXPECT_EQ(contents(target), c.expected);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.pdf"}));
    }
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFile, ASetPublishesAllOrNoneAndAWriteAfterFinishFails) {
    QTemporaryDir dir;
    const std::string a = dir.filePath("a").toStdString(), b = dir.filePath("b").toStdString();
    {
        AtomicFileSet outputs;
        outputs.add(std::make_unique<AtomicFile>(a)).write("A");
        outputs.add(std::make_unique<AtomicFile>(b)).write("B");
    }
    EXPECT_EQ(contents(a), "<missing>");
    AtomicFileSet outputs;
    outputs.add(std::make_unique<AtomicFile>(a)).write("A");
    AtomicFile& second = outputs.add(std::make_unique<AtomicFile>(b));
    second.write("B");
    outputs.publishAll();
    EXPECT_EQ(contents(a) + contents(b), "AB");

    AtomicFile late(a);
    late.finish();
    EXPECT_FALSE(late.write("x"));
    EXPECT_THROW(late.finish(), Error);
    EXPECT_THROW(AtomicFile(dir.filePath("none/x").toStdString()), Error);
}

// The how-manyth call of each kind that fails; a failing write is preceded
// by one that writes half of what it was given.
struct Faults {
    int write = 0, fsync = 0, close = 0;
    int error = 0;
    int writes = 0, fsyncs = 0, closes = 0;
} faults;

ssize_t faultyWrite(int fd, const void* data, std::size_t size) {
    ++faults.writes;
    if (faults.write && faults.writes == faults.write) return ::write(fd, data, size / 2);
    if (faults.write && faults.writes > faults.write) {
        errno = faults.error;
        return -1;
    }
    return ::write(fd, data, size);
}
int faultyFsync(int fd) {
    if (++faults.fsyncs != faults.fsync) return ::fsync(fd);
    errno = faults.error;
    return -1;
}
int faultyClose(int fd) {
    const int closed = ::close(fd);
    if (++faults.closes != faults.close) return closed;
    errno = faults.error;
    return -1;
}

TEST(AtomicFile, AFailedLastWriteSyncOrCloseKeepsEveryOldFile) {
    QTemporaryDir dir;
    const std::string first = dir.filePath("out.frp").toStdString(), target = dir.filePath("out.pdf").toStdString();
    const AtomicFileCalls real = atomicFileCalls();
    // Each fault hits the second file of the run, after the first is complete.
    const Faults cases[] = {{.write = 2, .error = ENOSPC}, {.fsync = 2, .error = EIO}, {.close = 2, .error = EDQUOT}};
    for (const Faults& c : cases) {
        std::ofstream(first) << "old frp";
        std::ofstream(target) << "old pdf";
        faults = c;
        atomicFileCalls() = {faultyWrite, faultyFsync, faultyClose};
        std::string error;
        try {
            AtomicFileSet outputs;
            outputs.add(std::make_unique<AtomicFile>(first)).write("new frp");
            outputs.add(std::make_unique<AtomicFile>(target)).write(std::string(1000, 'p'));
            outputs.publishAll();
        } catch (const Error& e) {
            error = e.what();
        }
        atomicFileCalls() = real;
        EXPECT_EQ(error, "Cannot write the file " + target + ": " + std::strerror(c.error));
        EXPECT_EQ(contents(first), "old frp") << error;
        EXPECT_EQ(contents(target), "old pdf") << error;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.frp", "out.pdf"}));
    }
}

}  // namespace
}  // namespace quor
