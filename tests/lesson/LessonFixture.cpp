#include "LessonFixture.h"

#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "platform/FileUtils.h"
#include "support/Headless.h"
#include "ui/Text.h"

namespace lesson {

bool shown(const std::string& name, engine::Node* root) {
    engine::Node* node = support::findByName(name, root);
    return node && node->isVisible();
}

std::string textOf(const std::string& name, engine::Node* root) {
    auto* text = dynamic_cast<engine::ui::Text*>(support::findByName(name, root));
    return text ? text->getString() : "<no " + name + ">";
}

void LessonTest::SetUp() {
    ClientTest::SetUp();
    CoursewareManager::destroyInstance();
    GDataManager::getInstance()->screenOffsetY = 0.f;
    engine::FileUtils::getInstance()->addSearchPath(FileManager::getInstance()->getNetResPath());
    logIn();
}

void LessonTest::TearDown() {
    ClientTest::TearDown();
    CoursewareManager::destroyInstance();
    CommonTools::getInstance()->groupScores.fill(0);
}

void LessonTest::seatPupils() {
    GDataManager* data = GDataManager::getInstance();
    data->students.clear();
    for (int i = 0; i < 9; ++i) {
        StudentRecord pupil;
        pupil.id = 1001 + i;
        pupil.name = "Pupil " + std::to_string(i + 1);
        pupil.group = i % 3 + 1;
        pupil.listIndex = i;
        pupil.number = i + 1;
        pupil.isSign = i % 4 != 3;
        pupil.score = i - 2;
        pupil.gameScore = i * 10;
        pupil.gameTime = i == 0 ? 0 : 30 + i;
        data->students.push_back(pupil);
    }
    data->groupCount = 3;
    CommonTools::getInstance()->groupScores = {4, 2, 0, 1};
}

LogicTopicScene* LessonTest::openLessonPlayer() {
    LogicTopicScene* scene = LogicTopicScene::create();
    EXPECT_NE(scene, nullptr);
    if (!scene) {
        return nullptr;
    }
    support::runScene(scene);
    // The preload of "TopicCommon" shows its loading layer until the pictures have arrived.
    EXPECT_TRUE(waitFor([] { return support::findByName("Img_LoadingBg") == nullptr; }));
    return scene;
}

} // namespace lesson
