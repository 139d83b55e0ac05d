// Widget kinds as the layout tests name them, and the check of a loaded node against one.
#pragma once

namespace engine {
class Node;
} // namespace engine

namespace support {

// Node: a plain node, no widget; Panel: a ui::Layout.
enum class WidgetKind { Node, Panel, Button, ImageView, Text, TextField, LoadingBar };

bool isKind(engine::Node* node, WidgetKind kind);

} // namespace support
