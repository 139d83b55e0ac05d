// Line matching and jigsaw pages at their largest demo layouts: the frame time while nine pairs are joined on 303
// and while a piece is dragged on 601, beside a picture dragged on the drag-picture page 505 in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/Director.h"
#include "common/UITools.h"
#include "platform/GLView.h"
#include "support/DemoTopics.h"
#include "support/Headless.h"
#include "topics/TopicLayer.h"
#include "topics/TopicTypeLayer.h"

using namespace engine;

namespace {

struct Frames {
    double mean = 0;
    double p95 = 0;
};

Frames measure(int count, const std::function<void(int)>& beforeFrame) {
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        const auto start = std::chrono::steady_clock::now();
        beforeFrame(i);
        Director::getInstance()->mainLoop(1 / 60.f);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) {
        sum += v;
    }
    return {sum / count, ms[static_cast<size_t>(count * 0.95)]};
}

Node* widget(TopicLayer* host, const std::string& name) {
    auto* page = dynamic_cast<TopicTypeLayer*>(host->getTypeLayer());
    return page ? UITools::seekChildByName(page->getRootNode(), name) : nullptr;
}

TopicLayer* openCode(int code) {
    support::useDemoLecture(support::lectureWith(code));
    const int index = support::findTopic(code);
    TopicLayer* host = support::openTopicHost();
    host->selectTopic(index);
    support::stepFrames(5);
    return host;
}

} // namespace

int main() {
    support::startHeadless(Size(1280, 720));
    {
        support::ScratchDir scratch;
        support::useResourceRoot(scratch.path());
        GLView* view = Director::getInstance()->getOpenGLView();
        const int frames = 300;

        // 303: nine pictures a side joined one pair after another, every frame of the blinks and lines timed.
        TopicLayer* host = openCode(303);
        std::vector<std::string> clicks;
        for (int i = 1; i <= 9; ++i) {
            clicks.push_back("OperImg" + std::to_string(i));
            clicks.push_back("LineImg" + std::to_string(i));
        }
        const Frames joining = measure(static_cast<int>(clicks.size()) * 24, [host, &clicks](int i) {
            if (i % 24 == 0) {
                if (Node* picture = widget(host, clicks[i / 24])) {
                    support::click(picture);
                }
            }
        });
        const Frames lineStill = measure(frames, [](int) {});

        // 601 and, for reference, the drag-picture page 505: a piece dragged around.
        auto dragOn = [view, frames](int code) {
            TopicLayer* page = openCode(code);
            Node* piece = widget(page, "OperImg1");
            if (!piece) {
                return Frames{};
            }
            view->injectTouch(TouchPhase::BEGAN, support::worldCenter(piece));
            const Frames moving = measure(frames, [view](int i) {
                view->injectTouch(TouchPhase::MOVED, Vec2(200 + (i * 7) % 900, 150 + (i * 3) % 350));
            });
            view->injectTouch(TouchPhase::ENDED, Vec2(640, 700));
            return moving;
        };
        const Frames jigsaw = dragOn(601);
        const Frames reference = dragOn(505);
        std::printf("line and jigsaw pages at 1280x720 (goal: frame while working < 8 ms)\n");
        std::printf("%-44s mean %.2f ms, p95 %.2f ms\n", "303, nine pairs joined (blinks, lines)", joining.mean,
                    joining.p95);
        std::printf("%-44s mean %.2f ms, p95 %.2f ms\n", "303 afterwards, nothing moving", lineStill.mean,
                    lineStill.p95);
        std::printf("%-44s mean %.2f ms, p95 %.2f ms\n", "601, a piece dragged", jigsaw.mean, jigsaw.p95);
        std::printf("%-44s mean %.2f ms, p95 %.2f ms\n", "505, a picture dragged (reference)", reference.mean,
                    reference.p95);
    }
    support::stopHeadless();
    return 0;
}
