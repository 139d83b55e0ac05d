// Paging through a picture lecture of 100 pages of 1920x1080 pictures in the question list scene, headless at
// 1280x720 on the software renderer: the time from a page click to the drawn page (the click handler and the
// next frame), and the resident memory after each ten pages. Beside them, in the same run: one frame with no
// click, and decoding one page picture into a texture outside the scene (the floor of a page change). As the machine
// is and again, with a fresh viewer, with 8 busy processes sharing the CPUs.
#include <SDL.h>
#include <SDL_image.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchFrames.h"
#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/GDataManager.h"
#include "games/SimpleGameManager.h"
#include "common/FileManager.h"
#include "render/Texture2D.h"
#include "render/TextureCache.h"
#include "scene/Scene.h"
#include "scenes/TouTopicScene.h"
#include "support/ClientTest.h"
#include "support/DemoTopics.h"
#include "support/Headless.h"
#include "ui/ImageView.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPages = 100;
constexpr int kWidth = 1920, kHeight = 1080;

double msSince(const Clock::time_point& start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double residentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1048576.0);
}

// A page with a coloured background, bands and blocks, so that it compresses like a drawn book page.
void writePage(const std::string& path, int number) {
    SDL_Surface* page = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(page, nullptr, SDL_MapRGBA(page->format, 240, 236, 220 - number % 40, 255));
    for (int band = 0; band < 12; ++band) {
        SDL_Rect r{0, band * 90, kWidth, 40};
        SDL_FillRect(page, &r, SDL_MapRGBA(page->format, 200 - band * 8, 180 + number % 50, 120 + band * 9, 255));
    }
    for (int block = 0; block < 40; ++block) {
        SDL_Rect r{(block * 173 + number * 37) % (kWidth - 120), (block * 97 + number * 53) % (kHeight - 120), 120, 90};
        SDL_FillRect(page, &r, SDL_MapRGBA(page->format, (block * 41) % 255, (number * 13) % 255, 90, 255));
    }
    // A grain of noise over one corner, as a scanned picture has.
    auto* pixels = static_cast<uint32_t*>(page->pixels);
    uint32_t seed = 12345u + number;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x) {
            seed = seed * 1103515245u + 12345u;
            pixels[y * (page->pitch / 4) + x] = (seed >> 8) | 0xff000000u;
        }
    }
    IMG_SavePNG(page, path.c_str());
    SDL_FreeSurface(page);
}

// Runs the click handler and draws frames until the viewer shows its page (a page still decoding on the loader
// thread arrives a few frames later); the milliseconds that took.
// The click handler's own time, which holds up the main thread, goes to handler.
template <class Click>
void clickAndDraw(TouTopicScene* viewer, Click click, bench::Times& toPage, bench::Times& handler) {
    auto* content = dynamic_cast<engine::ui::ImageView*>(support::findByName("Img_Content"));
    const auto start = Clock::now();
    handler.time(click);
    do {
        engine::Director::getInstance()->mainLoop(1 / 60.f);
    } while (content && content->getTextureFile() != viewer->pagePath(viewer->page) && msSince(start) < 1000.0);
    toPage.wall.push_back(msSince(start));
}

class PagingBench : public support::ClientTest {
public:
    void TestBody() override {}

    int run() {
        SetUp();
        const int result = measure();
        TearDown();
        return result;
    }

private:
    int measure() {
        const std::string folder = support::chooseLecture("0204010101");
        std::filesystem::create_directories(folder);
        for (int p = 1; p <= kPages; ++p) {
            writePage(folder + engine::StringUtils::format("%d.png", p), p);
        }
        std::printf("picture lecture of %d pages of %dx%d at 1280x720 (goal: page click to drawn page < 30 ms)\n",
                    kPages, kWidth, kHeight);
        bench::printMachineLoad("at the start");
        int result = 0;
        bench::quietThenLoaded([&](bool loaded) { result = result ? result : page(folder, loaded); });
        bench::printMachineLoad("at the end");
        return result;
    }

    // A fresh viewer paged through at reading pace and back with quick clicks; printed for this run.
    int page(const std::string& folder, bool loaded) {
        engine::Director* director = engine::Director::getInstance();
        support::runScene(engine::Scene::create());
        support::stepFrames(5);
        const double before = residentMb();

        auto* viewer = TouTopicScene::create();
        support::runScene(viewer);
        support::stepFrames(5);
        const double firstPage = residentMb();
        if (viewer->pageCount != kPages) {
            std::fprintf(stderr, "counted %d pages\n", viewer->pageCount);
            return 1;
        }

        // At reading pace: the next click comes once the page has been looked at, by which time the viewer has
        // decoded the next page on the loader thread (waited for, up to a second). Then quick clicks, one every
        // third frame, back to page 1, which find the previous pages only when the strip still shows them.
        bench::Times reading, quick, idle, readingHandler, quickHandler;
        std::printf("\n%s run\npages shown   resident memory\n%11d %14.1f MB\n", bench::runName(loaded), 1, firstPage);
        for (int p = 2; p <= kPages; ++p) {
            const std::string next = viewer->pagePath(p);
            support::waitFor([&] { return director->getTextureCache()->getTextureForKey(next) != nullptr; }, 1.0);
            clickAndDraw(viewer, [viewer] { viewer->onNextPage(); }, reading, readingHandler);
            for (int f = 0; f < 3; ++f) {
                idle.time([director] { director->mainLoop(1 / 60.f); });
            }
            if (p % 10 == 0) {
                std::printf("%11d %14.1f MB\n", p, residentMb());
            }
        }
        const double lastPage = residentMb();
        for (int p = kPages - 1; p >= 1; --p) {
            clickAndDraw(viewer, [viewer] { viewer->onPrevPage(); }, quick, quickHandler);
            support::stepFrames(3);
        }
        const double afterQuick = residentMb();

        // Reference: one page decoded into a texture, outside the scene and its cache (pages far from page 1).
        bench::Times decode;
        for (int p = 51; p <= 70; ++p) {
            const std::string path = folder + engine::StringUtils::format("%d.png", p);
            decode.time([director, &path] { director->getTextureCache()->addImage(path); });
            director->getTextureCache()->removeTextureForKey(path);
        }

        bench::printTimesHeader("(ms)");
        bench::printTimes("page click to drawn page, reading pace (99)", loaded, reading, 30);
        bench::printTimes("page click to drawn page, quick clicks (99)", loaded, quick, 30);
        bench::printTimes("  of which the click handler, reading pace", loaded, readingHandler, 0);
        bench::printTimes("  of which the click handler, quick clicks", loaded, quickHandler, 0);
        bench::printTimes("reference: frame without a click", loaded, idle, 0);
        bench::printTimes("reference: decode one page into a texture", loaded, decode, 0);
        const double picture = kWidth * kHeight * 4 / 1048576.0;
        std::printf("resident memory: %.1f MB before the viewer, %.1f MB on page 1, %.1f MB on page %d (growth "
                    "%+.1f MB), %.1f MB after the quick clicks back; one page picture is %.1f MB, the viewer holds at "
                    "most 8 (6 thumbnails, the page, its neighbours)\n",
                    before, firstPage, lastPage, kPages, lastPage - firstPage, afterQuick, picture);
        std::printf("cached textures at the end: %zu\n", director->getTextureCache()->getTextureCount());
        return 0;
    }
};

} // namespace

int main() {
    PagingBench bench;
    return bench.run();
}
