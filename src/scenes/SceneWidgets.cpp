#include "scenes/SceneWidgets.h"

#include "base/StringUtils.h"
#include "base/Value.h"
#include "common/PlistManager.h"
#include "common/SFAnimation.h"
#include "common/TipsManager.h"

namespace SceneWidgets {

engine::Node* showClientPanel(engine::Node* root) {
    const std::string clientId = PlistManager::getInstance()->getString("Configs.plist", "ClientId");
    engine::Node* panel = find(root, engine::StringUtils::format("Panel_Client%s", clientId.c_str()));
    if (panel) {
        panel->setVisible(true);
    }
    return panel;
}

bool queueLecture(const CoursewareData& record) {
    DownloadRecord download;
    download.key = record.Identify;
    download.url = record.Url;
    CoursewareManager* courseware = CoursewareManager::getInstance();
    if (record.Url.empty() || !courseware->addDownloadTask(download)) {
        TipsManager::getInstance()->showTipsByKey("LectureStr6", nullptr, nullptr);
        return false;
    }
    courseware->setCoursewareState(courseware->getCoursewareIndex(record.Identify), 2);
    return true;
}

void playListedAnimations(engine::Node* root, const std::string& list) {
    const engine::ValueVector names = PlistManager::getInstance()->getValueVector("Perload.plist", list);
    for (size_t i = 0; i < names.size(); ++i) {
        if (engine::Node* node = find(root, engine::StringUtils::format("AniPos%d", static_cast<int>(i + 1)))) {
            SFAnimation::getInstance()->playAnimationAtNode(node, names[i].asString(), true, nullptr, false, 0, 0);
        }
    }
}

} // namespace SceneWidgets
