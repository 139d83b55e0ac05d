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
    // Accepted while neither the file nor the record beside it could be rewritten.
    std::vector<Upload> acceptedInMemory;
    // What a damaged file lost and where it went: told as tip is, in a tip of its own.
    std::string setAside;
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

// Removes the first upload equal to this one.
bool eraseOne(std::vector<Upload>& uploads, const Upload& upload) {
    auto it = std::find(uploads.begin(), uploads.end(), upload);
    if (it == uploads.end()) {
        return false;
    }
    uploads.erase(it);
    return true;
}

// The file's uploads less those the server has accepted: never sent again, never counted as waiting.
Stored waitingInFile() {
    Stored stored = load();
    std::vector<Upload> accepted = loadAccepted();
    accepted.insert(accepted.end(), memory().acceptedInMemory.begin(), memory().acceptedInMemory.end());
    for (const Upload& upload : accepted) {
        eraseOne(stored.uploads, upload);
    }
    return stored;
}

// Writes what waitingInFile gave (and changes): the accepted ones leave the file with it, and a damaged file
// moved aside is noted for the teacher.
bool rewrite(const Stored& stored) {
    std::string aside;
    if (!save(stored, &aside)) {
        return false;
    }
    memory().acceptedInMemory.clear();
    saveAccepted({});
    if (!aside.empty() && stored.unread > 0) {
        memory().setAside =
            engine::StringUtils::format(PlistManager::getInstance()->getText("ScoreStr4").c_str(), stored.unread,
                                        ("res/" + aside.substr(aside.rfind('/') + 1)).c_str());
    }
    return true;
}

std::vector<Upload> waitingFor(const std::string& teacher) {
    std::vector<Upload> uploads = waitingInFile().uploads;
    uploads.insert(uploads.end(), memory().inMemory.begin(), memory().inMemory.end());
    uploads.erase(std::remove_if(uploads.begin(), uploads.end(),
                                 [&teacher](const Upload& upload) { return upload.teacher != teacher; }),
                  uploads.end());
    return uploads;
}

void tellWhenLoginLeft(float) {
    engine::Director* director = engine::Director::getInstance();
    if (BaseScene::loginShows() || !director->getRunningScene()) {
        return;
    }
    director->getScheduler()->unschedule(kTellKey, &memory());
    for (std::string* text : {&memory().tip, &memory().setAside}) {
        std::string tip;
        tip.swap(*text);
        if (!tip.empty()) {
            TipsManager::getInstance()->showTips(tip, nullptr, nullptr);
        }
    }
}

void endRound(size_t waiting) {
    Memory& state = memory();
    engine::log("unsent results: %zu of %s still waiting", waiting, state.teacher.c_str());
    state.teacher.clear();
    state.tried.clear();
    if (waiting > 0) {
        state.tip = engine::StringUtils::format(PlistManager::getInstance()->getText("ScoreStr3").c_str(),
                                                static_cast<int>(waiting));
    }
    if (state.tip.empty() && state.setAside.empty()) {
        return;
    }
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
        return;
    }
    Stored stored = waitingInFile();
    if (eraseOne(stored.uploads, sent) && !rewrite(stored)) {
        // Still in the file: left out of it by the record beside it, for this run and the next start.
        std::vector<Upload> accepted = loadAccepted();
        accepted.push_back(sent);
        if (!saveAccepted(accepted)) {
            engine::log("unsent results: an accepted upload is left out until the program ends");
            state.acceptedInMemory.push_back(sent);
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
    if (state.teacher.empty()) {
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
    Stored stored = waitingInFile();
    stored.uploads.push_back({teacher, fields, {}, false});
    if (rewrite(stored)) {
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
    // Accepted ones left in the file go now that it may be written; a damaged file is moved aside once.
    const Stored stored = waitingInFile();
    if (stored.damaged || !state.acceptedInMemory.empty() || !loadAccepted().empty()) {
        rewrite(stored);
    }
    // One kept upload is out at a time: the one out is this login's try of it, and its reply goes on with the round.
    if (state.awaited) {
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
