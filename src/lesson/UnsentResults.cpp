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
    // Accepted and not yet out of the file nor in the record beside it.
    std::vector<Upload> acceptedInMemory;
    // What a damaged file lost and where it went: told as tip is, in a tip of its own.
    std::string setAside;
    // Accepted uploads a damaged record lost that may be sent again.
    int maybeTwice = 0;
    // Whose kept uploads are being sent; empty between rounds.
    std::string teacher;
    // Sent in this round (accepted or not): each is tried once per login.
    std::vector<Upload> tried;
    // Accepted in this round.
    int sent = 0;
    // The one upload whose reply is awaited.
    std::optional<Upload> awaited;
    // Told once the login scene is left, which would take a tip with it.
    std::vector<std::string> tips;
    // Replies of a forgotten round find nothing.
    int generation = 0;
};

Memory& memory() {
    static Memory state;
    return state;
}

std::string text(const char* key, int count) {
    return engine::StringUtils::format(PlistManager::getInstance()->getText(key).c_str(), count);
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

struct Waiting {
    Stored stored;
    // The record beside the file holds something, read or not: it goes when the file is rewritten.
    bool record = false;
};

// The file's uploads less those the server has accepted: never sent again, never counted as waiting. Either file
// that could not be read now makes the whole failed: nothing of it is sent or written.
Waiting waitingInFile() {
    Waiting waiting{load(), false};
    Stored& stored = waiting.stored;
    if (stored.failed) {
        return waiting;
    }
    const Stored record = loadAccepted();
    if (record.failed) {
        engine::log("unsent results: nothing is sent from the file while its record does not read");
        waiting.stored = Stored();
        waiting.stored.failed = true;
        return waiting;
    }
    waiting.record = record.damaged || !record.uploads.empty();
    std::vector<Upload> accepted = record.uploads;
    accepted.insert(accepted.end(), memory().acceptedInMemory.begin(), memory().acceptedInMemory.end());
    for (const Upload& upload : accepted) {
        eraseOne(stored.uploads, upload);
    }
    if (record.unread > 0) {
        // Each lesson the record lost is one of the file's: one that still reads is sent again, as many as there
        // are; the others are among those the file lost, which the server then already has.
        const int twice = std::min<int>(record.unread, static_cast<int>(stored.uploads.size()));
        memory().maybeTwice = twice;
        stored.unread = std::max(0, stored.unread - (record.unread - twice));
    }
    return waiting;
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
    std::vector<Upload> uploads = waitingInFile().stored.uploads;
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
    // One dialog, its texts a line each: a tip over a tip would hide the first.
    std::string told;
    for (const std::string& tip : memory().tips) {
        told += (told.empty() ? "" : "\n") + tip;
    }
    memory().tips.clear();
    if (!told.empty()) {
        TipsManager::getInstance()->showTips(told, nullptr, nullptr);
    }
}

void endRound(size_t waiting) {
    Memory& state = memory();
    engine::log("unsent results: %d sent, %zu of %s still waiting", state.sent, waiting, state.teacher.c_str());
    state.teacher.clear();
    state.tried.clear();
    std::vector<std::string>& tips = state.tips;
    if (state.sent > 0) {
        tips.push_back(text("ScoreStr5", state.sent));
    }
    if (waiting > 0) {
        tips.push_back(text("ScoreStr3", static_cast<int>(waiting)));
    }
    if (!state.setAside.empty()) {
        tips.push_back(std::move(state.setAside));
        state.setAside.clear();
    }
    if (state.maybeTwice > 0) {
        tips.push_back(text("ScoreStr6", state.maybeTwice));
    }
    state.sent = 0;
    state.maybeTwice = 0;
    if (tips.empty()) {
        return;
    }
    engine::Scheduler* scheduler = engine::Director::getInstance()->getScheduler();
    if (!scheduler->isScheduled(kTellKey, &state)) {
        scheduler->schedule(tellWhenLoginLeft, &state, 0.f, false, kTellKey);
    }
}

void sendNext();

// In the record beside the file, for this run and the next start; in memory while that cannot be written.
void recordAccepted(const Upload& sent) {
    Stored record = loadAccepted();
    if (record.failed) {
        return;
    }
    record.uploads.push_back(sent);
    if (saveAccepted(record.uploads)) {
        eraseOne(memory().acceptedInMemory, sent);
    } else {
        engine::log("unsent results: an accepted upload is left out until the program ends");
    }
}

void onAccepted(const Upload& sent) {
    Memory& state = memory();
    ++state.sent;
    if (sent.inMemory) {
        eraseOne(state.inMemory, sent);
        return;
    }
    // Accepted before anything can fail: no read or write after this sends it again.
    state.acceptedInMemory.push_back(sent);
    if (!rewrite(waitingInFile().stored)) {
        recordAccepted(sent);
    }
}

void send(const Upload& upload) {
    Memory& state = memory();
    state.awaited = upload;
    state.tried.push_back(upload);
    const int generation = state.generation;
    auto current = [generation] { return memory().generation == generation; };
    // Still kept: a stale login ends the round of its teacher, and only that one, without a second copy.
    const auto onUnauthorized = [current, teacher = upload.teacher] {
        if (current()) {
            memory().awaited.reset();
            if (teacher == memory().teacher) {
                endRound(waitingFor(teacher).size());
            } else {
                sendNext();
            }
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
    // A file that does not read now is never written over: this one stays in memory.
    Stored stored = waitingInFile().stored;
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
    const Waiting waiting = waitingInFile();
    if (waiting.stored.failed) {
        engine::log("unsent results: nothing sent from the file this time");
    } else if (waiting.stored.damaged || waiting.record || !state.acceptedInMemory.empty()) {
        rewrite(waiting.stored);
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
