// The lecture's topic data: the topic list of the content kind being shown, the current topic and its step
// counter, and the readers and layout helpers the topic host and the topic types share.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Ref.h"
#include "base/Value.h"

namespace engine {
class Node;
namespace ui {
class Button;
class Widget;
} // namespace ui
} // namespace engine

class TopicManage : public engine::Ref {
public:
    using SubNavCallback = std::function<void(int topicIndex)>;

    // Tags of the layouts' pictures ("OperImg%d") and targets ("PanelImg%d"): the base plus their number.
    static constexpr int kPieceTagBase = 10000;
    static constexpr int kTargetTagBase = 20000;

    static TopicManage* getInstance();
    static void destroyInstance();

    ~TopicManage() override = default;
    virtual bool init() { return true; }

    // topics = Topic.plist "Subject" -> contentKind as "%d"; an absent or damaged entry gives no topics.
    void loadTopics();

    // The bar of topic buttons under parent; nothing with fewer than two topics.
    void createSubNav(engine::Node* parent, std::vector<engine::ui::Button*>& buttons, const SubNavCallback& callback);
    void onSubNavBtn(int topicIndex, const SubNavCallback& callback);
    // Shows the "Btn_Func0".."Btn_Func5" that "FuncBtns" lists, hides the others.
    void showFuncBtns(engine::Node* root);
    // "Topic%.6d.csb" of the current layout code; null (with the "NoFileExist" tip) when missing.
    engine::Node* loadTopicCsb();

    // Arranges the visible widgets prefix<first>, prefix<first+1>, ... over the content area; type, columns and
    // rows of 0 come from "AutoLayout".
    std::vector<engine::ui::Widget*> initContentPanel(engine::Node* root, const std::string& prefix, int firstNumber,
                                                      int type, int columns, int rows);
    // Puts the tops of the lower family on the line gap above the bottom of the first upper widget.
    void layoutWidgets(engine::Node* root, const std::string& upperPrefix, const std::string& lowerPrefix, float gap);
    // Centres the anchors of a family and raises each visible one by half its height times factor.
    void layoutAnchored(engine::Node* root, const std::string& prefix, int factor);

    // Sizes widget to its picture: the sprite size times the content scale factor; false when there is none.
    static bool fitToPicture(engine::ui::Widget* widget, const std::string& file);
    // The eleven picture families of "Images"; nothing when root is null.
    void loadTopicImages(engine::Node* root, bool visible);
    void loadImageList(engine::Node* root, const std::string& prefix, const std::string& listName, bool visible);
    // prefix<first>, prefix<first+1>, ... up to the first missing name; only the visible widgets are returned.
    std::vector<engine::ui::Widget*> getWidget(engine::Node* root, const std::string& prefix, int firstNumber) const;

    int getLayoutModel() const;
    std::string getDubbing() const;
    // A negative index reads the entry at stepCount.
    std::string getContentDubbing(int index) const;
    // A negative index reads the first entry.
    std::string getAniDubbing(int index) const;
    std::string getTitle(int topicIndex) const;
    std::string getStem() const;
    engine::ValueVector getAnswers() const;
    engine::ValueVector getFirstAnswers() const;
    engine::ValueVector getImages(const std::string& listName) const;
    std::string getAnimations(int index) const;
    std::string getResultAnimation(bool right) const;
    std::string getCelebrateAnimation() const;
    int getAutoLayoutType() const;
    int getRowNum() const;
    int getColNum() const;
    bool isInFirstAnswers(const engine::ui::Widget* widget) const;
    bool isStepDone() const;
    // The "Celebrate" animation at the window centre with "RightCommon.mp3" once the topic is complete.
    void playRightFeedback(engine::Node* node);

    // True while currentTopic indexes topics.
    bool hasCurrentTopic() const;
    int getTopicCount() const { return static_cast<int>(topics.size()); }

    int currentTopic = 0;
    int examItemIndex = 0;
    engine::ValueVector topics;
    int contentKind = 0;
    int stepCount = 0;
    bool voiceBusy = false;
    std::function<void()> contentVoiceHandler;

private:
    TopicManage() = default;

    // The current topic's map; empty with no current topic.
    const engine::ValueMap& currentMap() const;
    // The value under key in the current topic, Value::Null when absent; logs a value of another type.
    const engine::Value& currentValue(const std::string& key, engine::Value::Type expected) const;
    // Entry index of the string list under key of the current topic; "" when absent.
    std::string listEntry(const std::string& key, int index, const std::string& folder) const;
    const engine::ValueMap& autoLayout() const;
    const engine::ValueMap& animationsMap() const;
};
