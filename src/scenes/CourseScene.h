// The course type choice after login: the catalogue's course types, four to a page.
#pragma once

#include "common/BaseScene.h"

namespace engine {
class Node;
class Ref;
} // namespace engine

class CourseScene : public BaseScene {
public:
    static CourseScene* create() { return createScene<CourseScene>(); }

    void initData() override;
    void initRes() override;
    void onEnterTransitionDidFinish() override;

    void showCourseTypes();
    void changePage(int delta);
    void onCourseClicked(engine::Ref* sender);

    int getPage() const { return page; }
    int getPageCount() const { return pageCount; }

protected:
    friend class BaseScene;
    CourseScene() = default;

private:
    engine::Node* root = nullptr;
    int page = 1;
    int pageCount = 0;
};
