#include "scenes/SceneWidgets.h"

#include "base/StringUtils.h"
#include "base/Value.h"
#include "common/PlistManager.h"
#include "common/SFAnimation.h"

namespace SceneWidgets {

void playListedAnimations(engine::Node* root, const std::string& list) {
    const engine::ValueVector names = PlistManager::getInstance()->getValueVector("Perload.plist", list);
    for (size_t i = 0; i < names.size(); ++i) {
        if (engine::Node* node = find(root, engine::StringUtils::format("AniPos%d", static_cast<int>(i + 1)))) {
            SFAnimation::getInstance()->playAnimationAtNode(node, names[i].asString(), true, nullptr, false, 0, 0);
        }
    }
}

} // namespace SceneWidgets
