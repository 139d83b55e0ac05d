#include "support/ProgramState.h"

#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "games/SimpleGameManager.h"
#include "lesson/UnsentResults.h"
#include "net/BackManager.h"
#include "net/CoursewareManager.h"
#include "net/HttpManager.h"
#include "topics/TopicManage.h"

namespace support {

void resetProgramState() {
    GDataManager::getInstance()->init();
    CommonTools::getInstance()->init();
    BackManager::getInstance()->init();
    SimpleGameManager::destroyInstance();
    TopicManage::destroyInstance();
    CoursewareManager::destroyInstance();
    HttpManager::destroyInstance();
    UnsentResults::forget();
}

} // namespace support
