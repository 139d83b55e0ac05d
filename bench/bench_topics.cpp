// Topic pages: from choosing a topic on a shown host to its first drawn frame, for every demo code, and the frame
// time while a picture is dragged over the busiest drag page; each beside a plain frame of the same page.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Director.h"
#include "common/UITools.h"
#include "platform/GLView.h"
#include "scene/Scene.h"
#include "support/DemoTopics.h"
#include "support/Headless.h"
#include "topics/TopicLayer.h"
#include "topics/TopicManage.h"
#include "topics/TopicTypeLayer.h"

using namespace engine;

namespace {

template <class Work> double timed(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double mean(const std::vector<double>& ms) {
    double sum = 0;
    for (double v : ms) {
        sum += v;
    }
    return ms.empty() ? 0 : sum / static_cast<double>(ms.size());
}

double p95(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms.empty() ? 0 : ms[static_cast<size_t>(ms.size() * 0.95)];
}

} // namespace

int main() {
    support::startHeadless(Size(1280, 720));
    {
        support::ScratchDir scratch;
        support::useResourceRoot(scratch.path());
        std::vector<double> opening, plain;
        int worstCode = 0;
        double worst = 0;
        for (const std::string& identify : support::demoLectures()) {
            support::useDemoLecture(identify);
            for (int kind = 1; kind <= 3; ++kind) {
                TopicManage* data = TopicManage::getInstance();
                data->contentKind = kind;
                TopicLayer* host = support::openTopicHost();
                for (int i = 0; i < data->getTopicCount(); ++i) {
                    const double ms = timed([&] {
                        host->selectTopic(i);
                        Director::getInstance()->mainLoop(1 / 60.f);
                    });
                    opening.push_back(ms);
                    if (ms > worst) {
                        worst = ms;
                        worstCode = data->getLayoutModel();
                    }
                    support::stepFrames(2);
                    plain.push_back(timed([] { Director::getInstance()->mainLoop(1 / 60.f); }));
                }
            }
        }

        // 505 shows the most pictures of the drag pages (two pictures, four targets, copies added as it goes).
        support::useDemoLecture("0101010207");
        const int index = support::findTopic(505);
        TopicLayer* host = support::openTopicHost();
        host->selectTopic(index);
        support::stepFrames(5);
        std::vector<double> still, dragging;
        for (int i = 0; i < 200; ++i) {
            still.push_back(timed([] { Director::getInstance()->mainLoop(1 / 60.f); }));
        }
        auto* page = dynamic_cast<TopicTypeLayer*>(host->getTypeLayer());
        Node* picture = page ? UITools::seekChildByName(page->getRootNode(), "OperImg1") : nullptr;
        GLView* view = Director::getInstance()->getOpenGLView();
        if (picture) {
            Vec2 at = support::worldCenter(picture);
            view->injectTouch(TouchPhase::BEGAN, at);
            for (int i = 0; i < 200; ++i) {
                at = Vec2(200 + (i * 7) % 900, 200 + (i * 3) % 300);
                dragging.push_back(timed([&] {
                    view->injectTouch(TouchPhase::MOVED, at);
                    Director::getInstance()->mainLoop(1 / 60.f);
                }));
            }
            view->injectTouch(TouchPhase::ENDED, at);
        }
        std::printf("topic pages at 1280x720 (goals: opening < 30 ms for the worst code, drag frame < 8 ms)\n");
        std::printf("%-46s %zu codes, mean %.2f ms, worst %.2f ms (code %d)\n", "choose a topic to its first frame",
                    opening.size(), mean(opening), worst, worstCode);
        std::printf("%-46s mean %.2f ms, p95 %.2f ms\n", "plain frame of the same pages (reference)", mean(plain),
                    p95(plain));
        std::printf("%-46s mean %.2f ms, p95 %.2f ms\n", "frame while dragging on 505", mean(dragging), p95(dragging));
        std::printf("%-46s mean %.2f ms, p95 %.2f ms\n", "frame of 505 without a drag (reference)", mean(still),
                    p95(still));
    }
    support::stopHeadless();
    return 0;
}
