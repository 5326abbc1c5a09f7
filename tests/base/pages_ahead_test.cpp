// Pages made ready on another thread: they become resident without the
// writer touching them, and what the writer puts there meanwhile stays.

#include "base/pages_ahead.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

class TMapping {
public:
    explicit TMapping(size_t size) : FSize(size) {
        void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        FData = data == MAP_FAILED ? nullptr : static_cast<uint8_t*>(data);
    }
    ~TMapping() {
        if (FData) ::munmap(FData, FSize);
    }
    uint8_t* Data() const { return FData; }
    size_t ResidentPages() const {
        std::vector<unsigned char> resident((FSize + 4095) / 4096);
        if (::mincore(FData, FSize, resident.data()) != 0) return 0;
        size_t count = 0;
        for (unsigned char page : resident) count += page & 1;
        return count;
    }

private:
    uint8_t* FData;
    size_t FSize;
};

constexpr size_t Size = size_t{32} << 20;

}  // namespace

TEST(PagesAhead, PagesBecomeResidentWithoutBeingWritten) {
    if (::sysconf(_SC_PAGESIZE) != 4096) GTEST_SKIP() << "pages of another size";
    for (auto order : {TPagesAhead::TOrder::Forward, TPagesAhead::TOrder::Backward}) {
        TMapping mapping(Size);
        ASSERT_NE(mapping.Data(), nullptr);
        ASSERT_EQ(mapping.ResidentPages(), 0u);
        TPagesAhead ahead(mapping.Data(), Size, order);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (mapping.ResidentPages() < Size / 4096 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(mapping.ResidentPages(), Size / 4096);
        bool zero = true;
        for (size_t i = 0; i < Size; i += 4096) zero = zero && mapping.Data()[i] == 0;
        EXPECT_TRUE(zero);
    }
}

TEST(PagesAhead, WritesMadeMeanwhileStayAndSmallBuffersAreLeftAlone) {
    TMapping mapping(Size);
    ASSERT_NE(mapping.Data(), nullptr);
    {
        TPagesAhead ahead(mapping.Data(), Size, TPagesAhead::TOrder::Backward);
        // From the end, as the pages are prepared: the writer and the other
        // thread meet on the same pages.
        for (size_t i = Size; i-- > 0;) mapping.Data()[i] = uint8_t(i * 7 + 1);
    }
    bool kept = true;
    for (size_t i = 0; i < Size; ++i) kept = kept && mapping.Data()[i] == uint8_t(i * 7 + 1);
    EXPECT_TRUE(kept);

    TMapping small(TPagesAhead::WorthFrom / 2);
    {
        TPagesAhead ahead(small.Data(), TPagesAhead::WorthFrom / 2, TPagesAhead::TOrder::Forward);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(small.ResidentPages(), 0u);
}
