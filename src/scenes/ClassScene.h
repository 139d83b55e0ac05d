// The class choice: the chosen grade's schools and the classes of the chosen school, each four to a page.
#pragma once

#include "common/BaseScene.h"

namespace engine {
class Node;
class Ref;
} // namespace engine

class ClassScene : public BaseScene {
public:
    static ClassScene* create() { return createScene<ClassScene>(); }

    // BaseScene's order, then the background music.
    bool init() override;
    void initData() override;
    void initRes() override;

    void showSchools();
    void showClasses();
    // list 1 pages the schools, list 2 the classes; any other list is ignored.
    void changePage(int list, int delta);
    void onSchoolClicked(engine::Ref* sender);
    void onClassClicked(engine::Ref* sender);
    void goToGrade();

    int getSelectedSchoolId() const { return selectedSchoolId; }
    int getSchoolPage() const { return schoolPage; }
    int getClassPage() const { return classPage; }

protected:
    friend class BaseScene;
    ClassScene() = default;

private:
    engine::Node* root = nullptr;
    int selectedSchoolId = 0;
    int classPage = 1;
    int classPageCount = 1;
    int schoolPage = 1;
    int schoolPageCount = 1;
};
