// The atomic output file: the target changes only on publish, keeps its
// mode, and nothing is left beside it when a file is dropped or fails.

#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>
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

}  // namespace
}  // namespace quor
