// The process's memory as the application sets it up.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>

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
