// Reads one value under one top-level key of a property list; the file is read anew on every call.
#pragma once

#include <string>

#include "base/Ref.h"
#include "base/Value.h"

class PlistManager : public engine::Ref {
public:
    static PlistManager* getInstance();

    virtual bool init() { return true; }

    // Each gives an empty result when the file is missing or empty, or has no such key. A value of
    // another kind also gives the empty result, with a log line.
    engine::ValueMap getValueMap(const std::string& file, const std::string& key) const;
    engine::ValueVector getValueVector(const std::string& file, const std::string& key) const;
    // Numbers come back as their text.
    std::string getString(const std::string& file, const std::string& key) const;
    // The user-interface text under key in "Strings.plist".
    std::string getText(const std::string& key) const;

private:
    PlistManager() = default;
    // The value under key, or a null value.
    static engine::Value readValue(const std::string& file, const std::string& key);
};
