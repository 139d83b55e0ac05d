// The process's memory as the application sets it up.
#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/Application.h"

namespace {

// Keeps the compiler from leaving out an allocation whose block is never read.
void* kept(void* block) {
    asm volatile("" : : "r"(block) : "memory");
    return block;
}

class BareApplication : public engine::Application {
public:
    bool applicationDidFinishLaunching() override { return true; }
    void applicationDidEnterBackground() override {}
    void applicationWillEnterForeground() override {}
};

} // namespace

TEST(Application, LargeBlocksGoBackToTheSystemAfterALargerOneWasFreed) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's allocator takes the place of the C library's";
#endif
    BareApplication app;
    // A freed 16 MB block would otherwise raise the C library's bound for blocks mapped from the system to 16 MB.
    void* large = kept(std::malloc(16 << 20));
    std::memset(large, 1, 16 << 20);
    std::free(kept(large));
    const size_t mappedBefore = mallinfo2().hblkhd;
    void* picture = kept(std::malloc(1 << 20));
    EXPECT_GE(mallinfo2().hblkhd, mappedBefore + (1 << 20));
    std::free(kept(picture));
}

// The C library's heaps, from its own report.
size_t heapCount() {
    char* text = nullptr;
    size_t size = 0;
    FILE* report = open_memstream(&text, &size);
    malloc_info(0, report);
    std::fclose(report);
    size_t heaps = 0;
    for (const char* at = text; (at = std::strstr(at, "<heap nr=")); ++at) {
        ++heaps;
    }
    std::free(text);
    return heaps;
}

TEST(Application, ThreadsAllocatingTogetherMakeNoHeapBeyondTheSecond) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' allocators take the place of the C library's";
#endif
    BareApplication app;
    const size_t before = heapCount();
    // Each holds a block until all hold one, so none can take over a heap another thread left.
    std::atomic<int> holding{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 16; ++i) {
        threads.emplace_back([&] {
            void* block = kept(std::malloc(64));
            for (++holding; holding < 16;) {
                std::this_thread::yield();
            }
            std::free(block);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_LE(heapCount(), std::max<size_t>(before, 2));
}
