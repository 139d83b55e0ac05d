// The simple question game's data: the question items of the course question list and the files they still need.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "base/Ref.h"
#include "common/SimpleGameItem.h"
#include "net/DownloadRecord.h"

class SimpleGameManager : public engine::Ref {
public:
    static SimpleGameManager* getInstance();
    static void destroyInstance();
    virtual bool init() { return true; }

    // The option boxes of the game's page.
    static constexpr int kOptionBoxes = 4;

    // Rebuilds both lists from the reply's "data" array, leaving out the questions no shown option answers. Every
    // remote sound and picture becomes a local path under the "SimpleGame/" folder; the ones not on disk are
    // queued once each in the missing-file list.
    void buildLists(const rapidjson::Value& data);

    const std::vector<SimpleGameItem>& getItems() const { return items; }
    const std::vector<DownloadRecord>& getMissingFiles() const { return missingFiles; }
    // Drops the files that are on disk now and decode; the others (a file that does not decode is removed) are
    // asked for again at the game's next opening.
    void dropArrivedFiles();

    // "SimpleGame/" + base name + "_" + the hex CRC-32 of the address + extension, so two addresses never
    // share a file; "" for an empty address.
    static std::string localPathOf(const std::string& url, const std::string& extension);

private:
    SimpleGameManager() = default;
    // True when answer entry 0 names one of the options shown (1 to the options, at most kOptionBoxes).
    static bool isAnswerable(const SimpleGameItem& item);
    // Replaces a remote name by its local path, queueing the file when it is missing or does not decode.
    void localize(std::string& remote, const std::string& extension);
    // True when the file is on disk and decodes as the sound or picture it should be; else it is removed.
    static bool keepIfUsable(const std::string& path, bool arrived);

    std::vector<SimpleGameItem> items;
    std::vector<DownloadRecord> missingFiles;
};
