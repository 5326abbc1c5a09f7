// The one writer that replaces files: what someone else who can write into
// the folder, or a signal, can do to it.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/exception.h"
#include "base/stream.h"

namespace fs = std::filesystem;

namespace {

class TTempFolder {
public:
    TTempFolder() {
        std::string pattern = (fs::temp_directory_path() / "tw-replace-XXXXXX").string();
        FPath = ::mkdtemp(pattern.data());
    }
    ~TTempFolder() { fs::remove_all(FPath); }
    fs::path operator/(const std::string& name) const { return FPath / name; }
    const fs::path& Path() const { return FPath; }
    size_t Entries() const { return std::distance(fs::directory_iterator(FPath), fs::directory_iterator()); }

private:
    fs::path FPath;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t ModeOf(const fs::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// What another user racing us does: between the creation of the temporary
// file and its use, the name is swapped for a link to a file of theirs
// choosing.
fs::path Victim;
void SwapForLinkToVictim(const std::string& temporaryPath) {
    fs::remove(temporaryPath);
    fs::create_symlink(Victim, temporaryPath);
}

class TCreatedHookGuard {
public:
    explicit TCreatedHookGuard(void (*hook)(const std::string&)) { SetReplacementFileCreatedHook(hook); }
    ~TCreatedHookGuard() { SetReplacementFileCreatedHook(nullptr); }
};

}  // namespace

TEST(ReplacementFile, TemporaryNameSwappedForALinkNeverLeadsOurBytesElsewhere) {
    TTempFolder folder;
    Victim = folder / "victim";
    std::ofstream(Victim) << "secret";
    fs::permissions(Victim, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path target = folder / "Palette.bmp";
    {
        const TCreatedHookGuard guard(SwapForLinkToVictim);
        TAtomicFileWriter writer(target.string());
        writer.Stream().WriteBuffer("BM bytes of the palette", 23);
        // The name no longer leads to what we wrote: nothing is published.
        EXPECT_THROW(writer.Commit(), EWriteError);
    }
    EXPECT_EQ(ReadAll(Victim), "secret");
    EXPECT_EQ(ModeOf(Victim), 0600u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(target)));
    EXPECT_EQ(folder.Entries(), 1u) << "the link left behind";
}

TEST(ReplacementFile, NewFileTakesTheCreationMaskWithoutChangingIt) {
    TTempFolder folder;
    const mode_t previous = ::umask(027);
    {
        TAtomicFileWriter writer((folder / "Palette.bmp").string());
        writer.Commit();
    }
    const mode_t during = ::umask(previous);
    EXPECT_EQ(during, 027u);
    EXPECT_EQ(ModeOf(folder / "Palette.bmp"), 0640u);
}

// A child process writes, tells the parent, and waits to be interrupted.
TEST(ReplacementFile, InterruptingSignalRemovesTheTemporaryFile) {
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signalNumber));
        TTempFolder folder;
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            TAtomicFileWriter writer((folder / "Palette.bmp").string());
            const std::string block(1 << 20, 'x');
            writer.Stream().WriteBuffer(block.data(), block.size());
            (void)!::write(ready[1], "w", 1);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::close(ready[0]);
        EXPECT_EQ(folder.Entries(), 1u) << "the temporary file, mid-write";
        ::kill(child, signalNumber);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber)
            << "ended by the signal, status " << status;
        EXPECT_EQ(folder.Entries(), 0u);
    }
}
