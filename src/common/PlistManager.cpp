#include "common/PlistManager.h"

#include <new>
#include <utility>

#include "base/Log.h"
#include "platform/FileUtils.h"

namespace {
PlistManager* s_instance = nullptr;
}

PlistManager* PlistManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) PlistManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

engine::Value PlistManager::readValue(const std::string& file, const std::string& key) {
    engine::FileUtils* files = engine::FileUtils::getInstance();
    if (!files->isFileExist(file)) {
        return engine::Value::Null;
    }
    engine::ValueMap root = files->getValueMapFromFile(file);
    auto it = root.find(key);
    if (it == root.end()) {
        return engine::Value::Null;
    }
    return std::move(it->second);
}

engine::ValueMap PlistManager::getValueMap(const std::string& file, const std::string& key) const {
    engine::Value value = readValue(file, key);
    if (value.isNull()) {
        return engine::ValueMapNull;
    }
    if (value.getType() != engine::Value::Type::MAP) {
        engine::log("error plist map: %s %s", file.c_str(), key.c_str());
    }
    return value.asValueMap();
}

engine::ValueVector PlistManager::getValueVector(const std::string& file, const std::string& key) const {
    engine::Value value = readValue(file, key);
    if (value.isNull()) {
        return engine::ValueVectorNull;
    }
    if (value.getType() != engine::Value::Type::VECTOR) {
        engine::log("error plist array: %s %s", file.c_str(), key.c_str());
    }
    return value.asValueVector();
}

std::string PlistManager::getString(const std::string& file, const std::string& key) const {
    engine::Value value = readValue(file, key);
    if (value.getType() == engine::Value::Type::VECTOR || value.getType() == engine::Value::Type::MAP) {
        engine::log("error plist string: %s %s", file.c_str(), key.c_str());
    }
    return value.asString();
}

std::string PlistManager::getText(const std::string& key) const {
    return getString("Strings.plist", key);
}
