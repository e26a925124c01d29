// The heap's free pages go back to the system: memory freed below a block still in use stays
// resident until the trimmer's next turn, and not after it.
#include "platform/qt/heap_trimmer.h"

#include "tests/support/qt_wait.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using namespace decimon::test;
using namespace std::chrono_literals;

namespace {

long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST(HeapTrimmer, GivesBackWhatWasFreedBelowABlockInUse) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's allocator keeps freed memory in quarantine, out of the C library's reach";
#endif
    // 64 MB in blocks below the size the C library maps on their own, so they sit in the heap,
    // written to make them resident; then all freed but the last, which holds the heap's top.
    constexpr std::size_t kBlock = 64 * 1024, kBlocks = 1024;
    std::vector<std::unique_ptr<char[]>> blocks;
    for (std::size_t i = 0; i < kBlocks; ++i) {
        blocks.emplace_back(new char[kBlock]);
        std::memset(blocks.back().get(), 1, kBlock);
    }
    const long full = ResidentKb();
    blocks.erase(blocks.begin(), blocks.end() - 1);
    ProcessEventsFor(50ms);
    ASSERT_GT(ResidentKb(), full - 16 * 1024) << "the free blocks stay resident without a trim";

    HeapTrimmer trimmer(10ms);
    EXPECT_TRUE(WaitUntil([&] { return ResidentKb() < full - 48 * 1024; }, 5s, ProcessEvents))
        << ResidentKb() << " kB resident, " << full << " kB with the blocks";
}

}  // namespace
