// The lecture list of course types 2 to 4: the chosen grade's packages as pages of eight buttons with their
// download state and progress; a ready lecture opens by the subject's play mode: the question pages (2), the
// pupils' sign-in (3) or the lesson player (4).
#pragma once

#include <string>

#include <rapidjson/document.h>

#include "common/BaseScene.h"
#include "common/CoursewareData.h"
#include "common/LifeToken.h"
#include "scenes/PupilChain.h"

namespace engine {
class Node;
class Ref;
} // namespace engine

class TouLectureScene : public BaseScene {
public:
    static TouLectureScene* create() { return createScene<TouLectureScene>(); }
    ~TouLectureScene() override;

    void initData() override;
    void initRes() override;
    void onEnterTransitionDidFinish() override;

    void showLectures();
    void updatePageText();
    void onPrevPage();
    void onNextPage();
    void onLectureClicked(engine::Ref* sender);
    void downloadLecture(const CoursewareData& record, engine::Node* clicked);
    void enterLesson(const CoursewareData& record);
    void onDownloadProgress(const std::string& identify, double received, double expected);
    void onDownloadFinished(const std::string& storagePath, const std::string& identify);
    void requestStudentList();
    void onStudentListReply(const std::string& name, rapidjson::Value& data);
    void requestCourseQuestionList();
    void onCourseQuestionListReply(const std::string& name, rapidjson::Value& data);
    void goToSubject();

    int getPage() const { return page; }
    int getPageCount() const { return pageCount; }
    // The lecture item (its button) of list index k when it is on the page shown.
    engine::Node* findLectureButton(int k) const;

protected:
    friend class BaseScene;
    TouLectureScene() = default;

private:
    // Requesting: a lecture's request ("getStudentList" or "getCourseQuestionList") is out; loading: the pupils
    // and their head images are read one after another.
    enum class EnterState { Idle, Requesting, LoadingPupils };

    bool isEntering() const;
    // The list of the chosen grade; for a subject without grades and no list 0, all its lists by ascending grade.
    static void takeCurrentList();

    engine::Node* root = nullptr;
    int page = 1;
    int pageCount = 0;
    EnterState enterState = EnterState::Idle;
    std::string pendingRequest;
    PupilChain pupils;
    LifeToken lifeToken;
};
