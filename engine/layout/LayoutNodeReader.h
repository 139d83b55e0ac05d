// Builds the node tree of one layout file from its parsed JSON (the format is in docs/layout-format.md).
#pragma once

#include <rapidjson/fwd.h>

#include <string>

#include "base/Geometry.h"

namespace engine {

class Node;

namespace ui {
class Widget;
}

class LayoutNodeReader {
public:
    // Strict: an unknown key or kind, or a value of the wrong type, fails the whole file instead of being skipped.
    LayoutNodeReader(std::string fileName, bool strict);

    // The tree, autoreleased; null when a strict reader met a problem or the nodes nest too deep.
    Node* read(const rapidjson::Value& root);

private:
    // depth: 1 for the root.
    Node* readNode(const rapidjson::Value& object, const std::string& path, int depth);
    Node* createNode(const std::string& kind, const rapidjson::Value& object, const std::string& path);
    Node* createSprite(const rapidjson::Value& object, const std::string& path);
    Node* createImageView(const rapidjson::Value& object, const std::string& path);
    Node* createButton(const rapidjson::Value& object, const std::string& path);
    Node* createText(const rapidjson::Value& object, const std::string& path);
    Node* createTextField(const rapidjson::Value& object, const std::string& path);
    Node* createPanel(const rapidjson::Value& object, const std::string& path);
    Node* createSlider(const rapidjson::Value& object, const std::string& path);
    Node* createLoadingBar(const rapidjson::Value& object, const std::string& path);
    Node* createCheckBox(const rapidjson::Value& object, const std::string& path);

    // Adaptation off, and the size from the file or else the picture's pixels as design points.
    void applyPictureSize(ui::Widget* widget, bool hasPicture, const Size& pictureSizeInPoints,
                          const rapidjson::Value& object, const std::string& path);
    void applyPlainSize(Node* node, const rapidjson::Value& object, const std::string& path);
    void applyCommon(Node* node, const rapidjson::Value& object, const std::string& path);
    void checkKeys(const rapidjson::Value& object, const std::string& kind, bool knownKind, const std::string& path);
    // Cap insets [l, t, r, b] in picture pixels as the stretched centre rectangle.
    bool readCapInsets(const rapidjson::Value& object, const Size& pictureSizeInPoints, Rect& insets,
                       const std::string& path);

    // Each getter: false when the key is absent or of the wrong type (the latter logged as a problem).
    bool readString(const rapidjson::Value& object, const char* key, std::string& out, const std::string& path);
    bool readNumber(const rapidjson::Value& object, const char* key, float& out, const std::string& path);
    bool readInt(const rapidjson::Value& object, const char* key, int& out, const std::string& path);
    bool readBool(const rapidjson::Value& object, const char* key, bool& out, const std::string& path);
    bool readPair(const rapidjson::Value& object, const char* key, float& a, float& b, const std::string& path);
    bool readColor(const rapidjson::Value& object, const char* key, Color4B& out, const std::string& path);

    void problem(const std::string& path, const std::string& what);

    std::string _fileName;
    bool _strict;
    bool _failed = false;
    bool _tooDeep = false;
};

} // namespace engine
