// The subject choice of a course type: six subjects to a page; a subject fetches the courseware of its grades
// and opens the next scene of its play mode.
#pragma once

#include <map>
#include <string>

#include <rapidjson/document.h>

#include "common/BaseScene.h"
#include "common/ClassroomRecords.h"
#include "common/LifeToken.h"
#include "net/HttpManager.h"

namespace engine {
class Node;
class Ref;
} // namespace engine

class SubjectScene : public BaseScene {
public:
    static SubjectScene* create() { return createScene<SubjectScene>(); }

    // Takes down the loading panel the course-list requests left on this scene.
    ~SubjectScene() override;

    void initData() override;
    void initRes() override;
    void screenAdaptation() override;
    void onEnterTransitionDidFinish() override;

    void showSubjects();
    void changePage(int delta);
    void onSubjectClicked(engine::Ref* sender);
    void requestCourseList();
    void onCourseListReply(const std::string& name, rapidjson::Value& data);
    // A refused "getCourseList": tells the teacher, ends the round and frees the scene.
    void onCourseListFailed(int code, const std::string& message);
    void onReturn();

    int getPage() const { return page; }
    int getPageCount() const { return pageCount; }
    int getPendingReplies() const { return pendingReplies; }

protected:
    friend class BaseScene;
    SubjectScene() = default;

private:
    // Reads one course-list item, judges its download state and files it under its "grade".
    void fileCourseware(const rapidjson::Value& item);
    void openNextScene();
    // The round's requests still out are dropped: not sent, or stopped, and their replies go nowhere.
    void endRound();
    // Only the panel shown on this scene: another scene's panel is not ours to take down.
    void removeOwnLoading();

    engine::Node* root = nullptr;
    std::map<int, SubjectRecord> subjects;
    int pendingReplies = 0;
    // Each choice sends one round of "getCourseList" requests, dropped together when the round ends.
    HttpDropFlag round;
    int page = 1;
    int pageCount = 0;
    LifeToken lifeToken;
};
