// Start-up chores: removes obsolete files, checks for a newer updater, fetches the institution logo.
#pragma once
#include "base/Ref.h"
#include <functional>
#include <rapidjson/document.h>
#include <string>

class BackManager : public engine::Ref {
public:
    static BackManager* getInstance();
    virtual bool init();

    void removeUnusedFiles();
    void checkVersion();
    void onVersion(const std::string& name, rapidjson::Value& data);
    // Dotted versions of the same number of parts, compared part by part; anything else is not newer.
    static bool isNewerVersion(const std::string& server, const std::string& installed);
    void loadInstitutionLogo(const std::string& address);
    // Stores the logo's name and calls the logo callback, when the file loads as a picture (checked on the
    // decoding thread, in a later frame); else removes it.
    void onLogoDownloaded(const std::string& storagePath);

    // Set by the login scene when it enters, cleared when it goes; called once when a logo has arrived.
    std::function<void()> logoCallback;
    std::string logoName;

private:
    BackManager() = default;
    void downloadLogo(const std::string& address, const std::string& storagePath);
};
