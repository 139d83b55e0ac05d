// The LayoutModel table: which topic type each layout code makes, and which codes have a show-answer.
#pragma once

#include <string>

namespace engine {
class Node;
}

class TopicLayer;

namespace TopicTypeTable {

// The type the table names for code ("ShowAnswer", "DragImage", ...); "" outside the table.
std::string typeName(int code);
// A new autoreleased layer of code's type; null outside the table or when that type is not in the program.
engine::Node* createType(int code);
// Runs the show-answer of code on layer; false (nothing done) when code has none or layer is not of its type.
bool showAnswer(int code, TopicLayer* host, engine::Node* layer);

} // namespace TopicTypeTable
