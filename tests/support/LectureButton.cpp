#include "support/LectureButton.h"

#include "support/Headless.h"
#include "ui/Button.h"

namespace support {

engine::ui::Button* lectureButton(int n, const std::string& page) {
    engine::Node* pageNode = findByName(page);
    if (!pageNode) {
        return nullptr;
    }
    for (engine::Node* item : pageNode->getChildren()) {
        auto* button = dynamic_cast<engine::ui::Button*>(findByName("LectBtn", item));
        if (button && button->getTag() == 70000 + n) {
            return button;
        }
    }
    return nullptr;
}

} // namespace support
