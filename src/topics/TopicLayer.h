// The topic host page: the bar of topic buttons, the stem with its two sounds, six function buttons, the right and
// wrong feedback, and one topic-type layer chosen by the topic's layout code.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "common/BaseLayer.h"
#include "common/LifeToken.h"

namespace engine {
class Node;
namespace ui {
class Button;
class ImageView;
class Widget;
} // namespace ui
} // namespace engine

class TopicLayer : public BaseLayer {
public:
    using Callback = std::function<void()>;

    static TopicLayer* create() { return createLayer<TopicLayer>(); }
    ~TopicLayer() override;

    // The BaseLayer steps, then the topics of the content kind, the topic bar and the first topic.
    bool init() override;
    void initData() override;
    void initRes() override;

    // Rebuilds the page and its type layer for the current topic, with no step done.
    void loadTopic();
    // Shows topic index, or past either end moves the lesson on.
    void selectTopic(int index);
    void onPrevTopic();
    void onNextTopic();
    void onResetTopic();
    void showAnswer();
    void onReloadTopic();
    void onDownPage();
    // Replaces the type layer by the next-page view; false when it could not be made.
    bool openDownPage();
    void playTopicVoice();
    void playContentVoice();
    void onContentVoiceProgress();
    void initResultImgs();
    void initContVoiceBtn();
    // Right or wrong feedback; callback runs when it has finished, unless the type layer has gone by then.
    void showResult(bool right, const Callback& callback);
    void onResultEnd();

    engine::Node* getTypeLayer() const { return typeLayer; }
    const std::vector<engine::ui::Button*>& getTopicButtons() const { return topicButtons; }
    bool isResultShowing() const { return resultShowing; }

private:
    friend class BaseLayer;
    TopicLayer() = default;

    void removeTypeLayer();
    // Makes layer the type layer; a null layer leaves none.
    void setTypeLayer(engine::Node* layer);
    // Asks the lesson player to open navigation nav; nothing outside a lesson player.
    static void moveLesson(int nav);
    static void showLessonArrows(bool visible);
    void leaveTopics(bool forward);
    // Wraps a type's callback so that it does nothing once that type layer has gone.
    Callback guardType(const Callback& callback) const;

    engine::Node* rootNode = nullptr;
    engine::Node* typeLayer = nullptr;
    engine::ui::ImageView* resultImage = nullptr;
    bool resultShowing = false;
    Callback resultCallback;
    std::vector<engine::ui::Button*> topicButtons;
    engine::ui::Widget* prevButton = nullptr;
    engine::ui::Widget* nextButton = nullptr;
    engine::ui::Widget* reloadButton = nullptr;
    engine::ui::Widget* downPageButton = nullptr;

    // Lives as long as the current type layer.
    std::shared_ptr<char> typeAlive;
    // Each configured feedback gets a new number; the end of an older one is ignored.
    unsigned resultSerial = 0;
    LifeToken life;
};
