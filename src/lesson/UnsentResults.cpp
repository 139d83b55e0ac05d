#include "lesson/UnsentResults.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "base/StringUtils.h"
#include "common/BaseScene.h"
#include "common/PlistManager.h"
#include "common/TipsManager.h"
#include "lesson/UnsentResultsFile.h"
#include "net/FileManager.h"
#include "net/HttpManager.h"
#include "platform/FileUtils.h"

namespace UnsentResults {

namespace {

const char* const kSaveScore = "saveScore";
const char* const kTellKey = "UnsentResults::tell";

struct Memory {
    // Kept while the file could not be written; gone when the program ends.
    std::vector<Upload> inMemory;
    // Whose kept uploads are being sent; empty between rounds.
    std::string teacher;
    // Sent in this round and not accepted: each is tried once per login.
    std::vector<Upload> tried;
    // The one upload whose reply is awaited.
    std::optional<Upload> awaited;
    // Told once the login scene is left, which would take a tip with it.
    std::string tip;
    // Replies of a forgotten round find nothing.
    int generation = 0;
};

Memory& memory() {
    static Memory state;
    return state;
}

std::vector<Upload> waitingFor(const std::string& teacher) {
    std::vector<Upload> uploads = load().uploads;
    uploads.insert(uploads.end(), memory().inMemory.begin(), memory().inMemory.end());
    uploads.erase(std::remove_if(uploads.begin(), uploads.end(),
                                 [&teacher](const Upload& upload) { return upload.teacher != teacher; }),
                  uploads.end());
    return uploads;
}

// Removes the first upload equal to this one.
bool eraseOne(std::vector<Upload>& uploads, const Upload& upload) {
    auto it = std::find(uploads.begin(), uploads.end(), upload);
    if (it == uploads.end()) {
        return false;
    }
    uploads.erase(it);
    return true;
}

void tellWhenLoginLeft(float) {
    engine::Director* director = engine::Director::getInstance();
    if (BaseScene::loginShows() || !director->getRunningScene()) {
        return;
    }
    director->getScheduler()->unschedule(kTellKey, &memory());
    std::string tip;
    tip.swap(memory().tip);
    TipsManager::getInstance()->showTips(tip, nullptr, nullptr);
}

void endRound(size_t waiting) {
    Memory& state = memory();
    engine::log("unsent results: %zu of %s still waiting", waiting, state.teacher.c_str());
    state.teacher.clear();
    state.tried.clear();
    if (waiting == 0) {
        return;
    }
    state.tip = engine::StringUtils::format(PlistManager::getInstance()->getText("ScoreStr3").c_str(),
                                            static_cast<int>(waiting));
    engine::Scheduler* scheduler = engine::Director::getInstance()->getScheduler();
    if (!scheduler->isScheduled(kTellKey, &state)) {
        scheduler->schedule(tellWhenLoginLeft, &state, 0.f, false, kTellKey);
    }
}

void sendNext();

void onAccepted(const Upload& sent) {
    Memory& state = memory();
    eraseOne(state.tried, sent);
    if (sent.inMemory) {
        eraseOne(state.inMemory, sent);
    } else {
        Stored stored = load();
        if (!eraseOne(stored.uploads, sent) || !save(stored)) {
            // Still in the file: sent again after a later login, never twice in this one.
            state.tried.push_back(sent);
        }
    }
}

void send(const Upload& upload) {
    Memory& state = memory();
    state.awaited = upload;
    state.tried.push_back(upload);
    const int generation = state.generation;
    auto current = [generation] { return memory().generation == generation; };
    // Still kept: a stale login now ends the round without a second copy.
    const auto onUnauthorized = [current] {
        if (current()) {
            memory().awaited.reset();
            endRound(0);
        }
        return std::string();
    };
    HttpManager::getInstance()->sendRequest(
        kSaveScore,
        [current, upload](const std::string&, rapidjson::Value&) {
            if (current()) {
                memory().awaited.reset();
                onAccepted(upload);
                sendNext();
            }
        },
        true, "union",
        [current](int code, const std::string& message) {
            engine::log("unsent results kept: %d %s", code, message.c_str());
            if (current()) {
                memory().awaited.reset();
                sendNext();
            }
        },
        upload.fields, onUnauthorized);
}

void sendNext() {
    Memory& state = memory();
    if (state.awaited || state.teacher.empty()) {
        return;
    }
    std::vector<Upload> skipped = state.tried;
    const std::vector<Upload> waiting = waitingFor(state.teacher);
    for (const Upload& upload : waiting) {
        if (!eraseOne(skipped, upload)) {
            send(upload);
            return;
        }
    }
    endRound(waiting.size());
}

} // namespace

bool keep(const std::string& teacher, const Fields& fields) {
    engine::FileUtils::getInstance()->createDirectory(FileManager::getInstance()->getResRoot());
    Stored stored = load();
    stored.uploads.push_back({teacher, fields, {}, false});
    if (save(stored)) {
        return true;
    }
    engine::log("unsent results: kept in memory until the program ends");
    memory().inMemory.push_back({teacher, fields, {}, true});
    return false;
}

void sendFor(const std::string& teacher) {
    Memory& state = memory();
    state.teacher = teacher;
    state.tried.clear();
    if (state.awaited) {
        // Its reply goes on with this round; it is not sent again meanwhile.
        state.tried.push_back(*state.awaited);
        return;
    }
    sendNext();
}

void forget() {
    Memory& state = memory();
    engine::Director::getInstance()->getScheduler()->unschedule(kTellKey, &state);
    const int generation = state.generation + 1;
    state = Memory();
    state.generation = generation;
}

} // namespace UnsentResults
