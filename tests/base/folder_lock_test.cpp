#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "base/folder_lock.h"

namespace fs = std::filesystem;

TEST(FolderLock, SecondWriterWaitsUntilTheFirstReleases) {
    const fs::path folder = fs::temp_directory_path();
    std::atomic<bool> secondHasIt{false};
    std::thread second;
    {
        const TFolderLock first(folder.string());
        ASSERT_TRUE(first.Held());
        {
            // The same thread may take it again around a road that takes it.
            const TFolderLock nested(folder.string());
            EXPECT_TRUE(nested.Held());
        }
        second = std::thread([&] {
            const TFolderLock lock(folder.string());
            secondHasIt = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(secondHasIt) << "took the lock while the first still held it";
    }
    second.join();
    EXPECT_TRUE(secondHasIt);
}

TEST(FolderLock, MissingFolderIsLeftToTheWriters) {
    const TFolderLock lock((fs::temp_directory_path() / "tw-no-such-folder" / "x").string());
    EXPECT_FALSE(lock.Held());
}
