#include "support/WidgetKind.h"

#include "scene/Node.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Layout.h"
#include "ui/LoadingBar.h"
#include "ui/Text.h"
#include "ui/TextField.h"

namespace support {

bool isKind(engine::Node* node, WidgetKind kind) {
    namespace ui = engine::ui;
    switch (kind) {
    case WidgetKind::Node:
        return dynamic_cast<ui::Widget*>(node) == nullptr;
    case WidgetKind::Panel:
        return dynamic_cast<ui::Layout*>(node) != nullptr;
    case WidgetKind::Button:
        return dynamic_cast<ui::Button*>(node) != nullptr;
    case WidgetKind::ImageView:
        return dynamic_cast<ui::ImageView*>(node) != nullptr;
    case WidgetKind::Text:
        return dynamic_cast<ui::Text*>(node) != nullptr;
    case WidgetKind::TextField:
        return dynamic_cast<ui::TextField*>(node) != nullptr;
    case WidgetKind::LoadingBar:
        return dynamic_cast<ui::LoadingBar*>(node) != nullptr;
    }
    return false;
}

} // namespace support
