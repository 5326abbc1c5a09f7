#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#include <iterator>

#include "base/exception.h"
#include "base/stream.h"

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "tw-base-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path_); }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(ErrorReportText, AppendsPeriodOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(WithClosingPeriod("Error: Unsupported format"), "Error: Unsupported format.");
    EXPECT_EQ(WithClosingPeriod("Done."), "Done.");
    EXPECT_EQ(WithClosingPeriod("Update !"), "Update !");
    EXPECT_EQ(WithClosingPeriod("Invalid image (0x88982f50)"), "Invalid image (0x88982f50)");
    EXPECT_EQ(WithClosingPeriod(""), "");
    // A character outside ASCII sorts above "." as well.
    EXPECT_EQ(WithClosingPeriod("Fehler: Größe"), "Fehler: Größe.");
}

TEST(ExceptionClasses, CarryMessageAndRuntimeClassName) {
    try {
        throw EFCreateError(Format("Cannot create file \"%s\". %s", "/x/y", "No such file or directory"));
    } catch (const Exception& error) {
        EXPECT_STREQ(error.ClassName(), "EFCreateError");
        EXPECT_EQ(error.Message(), "Cannot create file \"/x/y\". No such file or directory");
        EXPECT_NE(dynamic_cast<const EStreamError*>(&error), nullptr);
    }
}

TEST(MemoryStream, ReadBufferFailsPastTheEnd) {
    TMemoryStream stream({1, 2, 3});
    uint8_t bytes[4] = {};
    stream.ReadBuffer(bytes, 2);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_THROW(stream.ReadBuffer(bytes, 2), EReadError);
}

TEST(FileStream, OpenErrorNamesTheFullPathAndReason) {
    TempDir dir;
    const std::string missing = (dir / "missing.bmp").string();
    try {
        TFileStream stream(missing, TFileStream::Mode::OpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(error.Message(), "Cannot open file \"" + missing + "\". No such file or directory");
    }
}

TEST(AtomicFileWriter, ReplacesTheTargetOnlyWhenCommitted) {
    TempDir dir;
    const fs::path target = dir / "Palette.bmp";
    std::ofstream(target) << "previous content that is longer";
    {
        TAtomicFileWriter writer(target.string());
        writer.Stream().WriteBuffer("new", 3);
        // Not committed: the writer is abandoned as a failed write would be.
    }
    EXPECT_EQ(ReadAll(target), "previous content that is longer");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    {
        TAtomicFileWriter writer(target.string());
        writer.Stream().WriteBuffer("new", 3);
        writer.Commit();
    }
    EXPECT_EQ(ReadAll(target), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(AtomicFileWriter, RefusesDirectoriesAndMissingFolders) {
    TempDir dir;
    fs::create_directory(dir / "Palette.bmp");
    EXPECT_THROW(TAtomicFileWriter((dir / "Palette.bmp").string()), EFCreateError);
    try {
        TAtomicFileWriter writer((dir / "no-such-folder" / "Palette.bmp").string());
        FAIL() << "created a file in a missing folder";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(error.Message(), "Cannot create file \"" + (dir / "no-such-folder" / "Palette.bmp").string() +
                                       "\". No such file or directory");
    }
}

// A FIFO blocks an ordinary open until a writer appears; a device may never
// end. Both are refused at once with the file's "cannot open" message.
TEST(FileStream, FifoAndDevicesAreRefusedWithoutWaiting) {
    TempDir dir;
    const std::string fifo = (dir / "fifo.bmp").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        auto opening = std::async(std::launch::async, [&path] {
            try {
                TFileStream stream(path, TFileStream::Mode::OpenRead);
            } catch (const EFOpenError& error) {
                return error.Message();
            }
            return std::string("opened");
        });
        if (opening.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
            // Let the blocked open go on so the test can end, then fail.
            const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            opening.wait();
            ::close(writer);
            FAIL() << "the open waited for a writer";
        }
        EXPECT_EQ(opening.get(), "Cannot open file \"" + path + "\". Invalid argument");
    }
}
