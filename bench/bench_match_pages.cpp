// Line matching and jigsaw pages at their largest demo layouts: the frame time while nine pairs are joined on 303
// and while a piece is dragged on 601, beside a picture dragged on the drag-picture page 505 in the same run; as the
// machine is and again with 8 busy processes sharing the CPUs.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchFrames.h"
#include "base/Director.h"
#include "common/UITools.h"
#include "platform/GLView.h"
#include "support/DemoTopics.h"
#include "support/Headless.h"
#include "topics/TopicLayer.h"
#include "topics/TopicTypeLayer.h"

using namespace engine;

namespace {

bench::Times measure(int count, const std::function<void(int)>& beforeFrame) {
    bench::Times times;
    for (int i = 0; i < count; ++i) {
        times.time([&] {
            beforeFrame(i);
            Director::getInstance()->mainLoop(1 / 60.f);
        });
    }
    return times;
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

// The three pages worked on, printed for this run.
void measurePages(bool loaded) {
    GLView* view = Director::getInstance()->getOpenGLView();
    const int frames = 300;

    // 303: nine pictures a side joined one pair after another, every frame of the blinks and lines timed.
    TopicLayer* host = openCode(303);
    std::vector<std::string> clicks;
    for (int i = 1; i <= 9; ++i) {
        clicks.push_back("OperImg" + std::to_string(i));
        clicks.push_back("LineImg" + std::to_string(i));
    }
    const bench::Times joining = measure(static_cast<int>(clicks.size()) * 24, [host, &clicks](int i) {
        if (i % 24 == 0) {
            if (Node* picture = widget(host, clicks[i / 24])) {
                support::click(picture);
            }
        }
    });
    const bench::Times lineStill = measure(frames, [](int) {});

    // 601 and, for reference, the drag-picture page 505: a piece dragged around.
    auto dragOn = [view, frames](int code) {
        TopicLayer* page = openCode(code);
        Node* piece = widget(page, "OperImg1");
        if (!piece) {
            return bench::Times{};
        }
        view->injectTouch(TouchPhase::BEGAN, support::worldCenter(piece));
        const bench::Times moving = measure(frames, [view](int i) {
            view->injectTouch(TouchPhase::MOVED, Vec2(200 + (i * 7) % 900, 150 + (i * 3) % 350));
        });
        view->injectTouch(TouchPhase::ENDED, Vec2(640, 700));
        return moving;
    };
    const bench::Times jigsaw = dragOn(601);
    const bench::Times reference = dragOn(505);
    bench::printTimes("303, nine pairs joined (blinks, lines)", loaded, joining, 8);
    bench::printTimes("303 afterwards, nothing moving", loaded, lineStill, 8);
    bench::printTimes("601, a piece dragged", loaded, jigsaw, 8);
    bench::printTimes("505, a picture dragged (reference)", loaded, reference, 0);
}

} // namespace

int main() {
    support::startHeadless(Size(1280, 720));
    {
        support::ScratchDir scratch;
        support::useResourceRoot(scratch.path());
        std::printf("line and jigsaw pages at 1280x720 (goal: frame while working < 8 ms)\n");
        bench::printMachineLoad("at the start");
        bench::printTimesHeader("measure");
        bench::quietThenLoaded(measurePages);
        bench::printMachineLoad("at the end");
    }
    support::stopHeadless();
    return 0;
}
