// The grouping of the signed-in pupils into 2 to 4 groups, by dragging their heads or at random; confirming
// makes sure the lesson's opening video is on disk and opens the lesson.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "base/Geometry.h"
#include "common/BaseScene.h"
#include "common/ClassroomRecords.h"
#include "common/LifeToken.h"
#include "net/MovieCheck.h"

namespace engine {
class Event;
class Node;
class Touch;
namespace ui {
class Widget;
}
} // namespace engine

class GroupScene : public BaseScene {
public:
    static GroupScene* create() { return createScene<GroupScene>(); }
    // Calls returnCallback when it is set.
    ~GroupScene() override;

    bool init() override;
    void initData() override;
    void initRes() override;

    virtual bool onTouchBegan(engine::Touch* touch, engine::Event* event);
    virtual void onTouchMoved(engine::Touch* touch, engine::Event* event);
    virtual void onTouchEnded(engine::Touch* touch, engine::Event* event);

    void onReturn();
    void onConfirm();
    void randomGroup();
    void resetGroups();
    // 2 to 4; any other count is refused.
    void onGroupCount(int count);
    void onPage(int delta);
    // The opening video on disk has been checked since the grouping opened.
    bool isOpeningVideoChecked() const;

    void refreshList();
    void refreshGroups();
    void updatePageText();
    void updatePageButtons(float dt);
    int countSigned() const;
    int countUnassigned() const;
    // Indexes in the global data's pupils of the signed-in pupils of group g, in list order.
    std::vector<int> getGroupMembers(int group) const;
    // The previous lecture's summary video; "" when the current lecture is the first, which has none.
    std::string openingVideoPath() const;
    void requestCourseFileList();
    void onCourseFileListReply(const std::string& name, rapidjson::Value& data, const std::string& basePath);
    void enterLesson();
    void onUnassignedConfirmed();

    int getPage() const { return page; }
    const std::vector<engine::Node*>& getListIcons() const { return listIcons; }
    const std::vector<engine::Node*>& getGroupIcons() const { return groupIcons; }

    // Set by the opener after create; runs when the scene is destroyed.
    std::function<void()> returnCallback;

protected:
    friend class BaseScene;
    GroupScene() = default;

private:
    int pageCount() const;
    // The page within 1 to the page count, and 1 while nobody is left to group.
    int clampedPage() const;
    // The opening video is there and plays, or is fetched first.
    void enterLessonWithOpeningVideo();
    // The opening video on disk checked while the teacher groups the class, so the confirm need not wait for it.
    void startOpeningVideoCheck();
    // Checks the movie off the main thread (a file that does not play is removed), or ends the check begun when the
    // grouping opened; then runs, in a later frame unless the check is done, with whether it is kept. Nothing else is
    // checked or entered meanwhile.
    void checkOpeningVideo(const std::string& movie, const std::function<void(bool kept)>& then);
    // The pupil's head at pos, tagged with the pupil's index.
    engine::Node* addHeadIcon(int index, const engine::Vec2& pos, float scale);

    engine::Node* rootNode = nullptr;
    engine::Node* groupPanel = nullptr;
    engine::ui::Widget* groupButton = nullptr;
    int page = 1;
    engine::Node* draggedIcon = nullptr;
    engine::Vec2 dragStartPos;
    std::vector<engine::Node*> listIcons;
    std::vector<engine::Node*> groupIcons;
    std::vector<int> wantedFileTypes;
    std::unique_ptr<MovieCheck> openingVideoCheck;
    bool awaitingOpeningVideo = false;
    LifeToken lifeToken;
};
