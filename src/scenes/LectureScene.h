// The lecture choice of play mode 1: the chosen grade's lectures as pages of buttons by stage, with the state of
// each package; a ready lecture loads the class's pupils and their head images and opens the sign-in scene.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "common/BaseScene.h"
#include "common/CoursewareData.h"
#include "common/LifeToken.h"
#include "scenes/PupilChain.h"

namespace engine {
class Node;
class Ref;
namespace ui {
class Button;
class Text;
} // namespace ui
} // namespace engine

class LectureScene : public BaseScene {
public:
    static LectureScene* create() { return createScene<LectureScene>(); }
    ~LectureScene() override;

    void onEnterTransitionDidFinish() override;
    void initData() override;
    void initRes() override;
    void screenAdaptation() override;

    void initStageButtons();
    void initLectureButtons();
    void turnPage(int shift);
    void onPageMoved();
    void onStageClicked(engine::Ref* sender, int stageIndex);
    void onLectureClicked(engine::Ref* sender);
    void openLecture(engine::ui::Button* button);
    void downloadLecture(CoursewareData record, engine::ui::Button* button);
    engine::Node* findLoadingNode(const std::string& identify) const;
    void onDownloadProgress(const std::string& identify, double received, double expected);
    void onDownloadFinished(const std::string& storagePath, const std::string& identify);
    void requestStudentList();
    void onStudentListReply(const std::string& name, rapidjson::Value& data);
    void onPreloadDone();
    void onReturn();

    int getCurrentPage() const { return currentPage; }
    const std::vector<engine::Node*>& getPages() const { return pages; }
    bool isPageIdle() const { return pageIdle; }

protected:
    friend class BaseScene;
    LectureScene() = default;

private:
    // Pressing: the press effect of a lecture runs; requesting: "getStudentList" was sent; loading: the pupils
    // and their head images are read one after another.
    enum class LectureState { Idle, Pressing, Requesting, LoadingPupils };

    bool isLectureBusy() const;
    // The "LectureBtn.csb" item of the identify code, found by its tag.
    engine::Node* findLectureItem(const std::string& identify) const;
    // Stage and lecture of a lecture button, taken from its page and its own tag.
    static void chooseLectureOf(engine::ui::Button* button);

    engine::Node* root = nullptr;
    bool pageIdle = true;
    int currentPage = 1;
    std::vector<engine::Node*> pages;
    std::vector<engine::Node*> stageButtons;
    engine::ui::Text* pageText = nullptr;
    LectureState lectureState = LectureState::Idle;
    PupilChain pupils;
    LifeToken lifeToken;
};
