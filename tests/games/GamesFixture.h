// Shared fixture of the game tests: a lecture whose Game map plays model 41 with ten sums, slot s "<s + a> - <s> = ?"
// answered by choice a = s % 4 + 1 (option k shows the number card k), and the frame opened on the running scene.
#pragma once

#include <string>

#include "games/GameLayer.h"
#include "games/GameManager.h"
#include "support/DemoTopics.h"
#include "tools/ToolsFixture.h"
#include "ui/ImageView.h"

namespace games_test {

class GameTest : public tools_test::ToolsTest {
protected:
    static int answerOf(int slot) { return slot % 4 + 1; }

    // Writes the lecture's Topic.plist and its pictures (options of optionSize pixels, a background); extra is
    // written into the Game map as it stands and its keys win.
    void writeGame(const std::string& extra = "", int qnum = 5, int model = 41, int optionSize = 160) const {
        const std::string folder = chooseLecture();
        std::string questions, answers, options;
        for (int s = 0; s < 10; ++s) {
            questions += "<string>" + std::to_string(s + answerOf(s)) + " - " + std::to_string(s) + " = ?</string>";
            answers += "<integer>" + std::to_string(answerOf(s)) + "</integer>";
            options += "<array>";
            for (int k = 1; k <= 4; ++k) {
                options += "<string>opt" + std::to_string(k) + ".png</string>";
            }
            options += "</array>";
        }
        for (int k = 1; k <= 4; ++k) {
            writeCard(folder + "GameImg/opt" + std::to_string(k) + ".png", k, optionSize);
        }
        writePicture(folder + "GameImg/GameBg/bg.png", 1280, 720, {214, 236, 250, 255});
        const std::string xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>Game</key><dict>"
            "<key>BgImg</key><string>bg.png</string><key>GameModel</key><integer>" +
            std::to_string(model) +
            "</integer><key>Time</key><integer>60</integer><key>Score</key><real>100</real>"
            "<key>QNum</key><integer>" +
            std::to_string(qnum) + "</integer><key>QuestionType</key><integer>2</integer><key>Questions</key><array>" +
            questions + "</array><key>Answers</key><array>" + answers + "</array><key>SelectImgs</key><array>" +
            options +
            "</array><key>Animations</key><dict><key>Celebrate</key><string>TopicCelebrate</string>"
            "<key>Effect</key><string>GameEffect</string></dict>" +
            extra + "</dict></dict></plist>\n";
        std::filesystem::create_directories(folder);
        engine::FileUtils::getInstance()->writeStringToFile(xml, folder + "Topic.plist");
    }
    // The client's number card k scaled to size x size pixels.
    static void writeCard(const std::string& path, int k, int size) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const std::string card =
            engine::FileUtils::getInstance()->fullPathForFilename("Games/Num" + std::to_string(k) + ".png");
        SDL_Surface* from = IMG_Load(card.c_str());
        ASSERT_NE(from, nullptr) << card;
        SDL_Surface* to = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_RGBA32);
        SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_NONE);
        SDL_BlitScaled(from, nullptr, to, nullptr);
        EXPECT_EQ(IMG_SavePNG(to, path.c_str()), 0) << IMG_GetError();
        SDL_FreeSurface(from);
        SDL_FreeSurface(to);
    }
    // The demo lecture of that identify code chosen, its Game map and pictures copied from the server's package.
    void useDemoGame(const std::string& identify,
                     const std::string& packages = TEST_SOURCE_DIR "/server/packages") const {
        namespace fs = std::filesystem;
        const fs::path from = fs::path(packages) / identify;
        const fs::path to = support::chooseLecture(identify);
        fs::create_directories(to);
        fs::copy_file(from / "Topic.plist", to / "Topic.plist", fs::copy_options::overwrite_existing);
        if (fs::exists(from / "GameImg")) {
            fs::copy(from / "GameImg", to / "GameImg",
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
    }
    // The game object the frame made, of class T.
    template <class T> static T* gameOf(GameLayer* frame) {
        for (engine::Node* child : frame->getChildren()) {
            if (auto* game = dynamic_cast<T*>(child)) {
                return game;
            }
        }
        return nullptr;
    }
    static StudentRecord pupilWithId(int id) {
        for (const StudentRecord& pupil : GDataManager::getInstance()->students) {
            if (pupil.id == id) {
                return pupil;
            }
        }
        return {};
    }
    // A game won: the full score stored for the pupil, the result screenshot, and after the result tip the rank
    // board's first row is that pupil with that score.
    static void expectWon(GameLayer* frame, int id, const std::string& screenshot) {
        EXPECT_EQ(frame->state(), 3);
        EXPECT_EQ(pupilWithId(id).gameScore, 100);
        ASSERT_TRUE(support::stepUntil([] { return !tipText().empty(); }));
        EXPECT_NE(tipText().find(pupilWithId(id).name + "'s time:"), std::string::npos) << tipText();
        support::saveScreenshot(screenshot);
        closeTip();
        expectTopRankRow(frame, id, "100");
    }
    // The rank board's first row shows the pupil and the score; the board is closed again.
    static void expectTopRankRow(GameLayer* frame, int id, const std::string& score) {
        press(frame, "RankBtn");
        engine::Node* board = support::findByName("RankPanel1");
        ASSERT_NE(board, nullptr);
        EXPECT_EQ(textOf(board, "ScoreText"), score);
        EXPECT_EQ(textOf(board, "NameText"), pupilWithId(id).name);
        press(engine::Director::getInstance()->getRunningScene(), "CloseBtn");
    }
    // A frame on the running scene, its animations preloaded and its game made.
    GameLayer* openFrame() {
        auto* frame = new GameLayer();
        EXPECT_TRUE(frame->init());
        frame->autorelease();
        engine::Director::getInstance()->getRunningScene()->addChild(frame);
        // The animation frames load on the decoder thread, in real time.
        EXPECT_TRUE(waitFor([frame] { return frame->rootNode != nullptr; }));
        support::stepFrames(1);
        return frame;
    }
    // The right choice of the question shown: its text or picture is found in "Questions".
    static int rightChoice(GameLayer* frame) {
        auto* picture = dynamic_cast<engine::ui::ImageView*>(find(frame, "QImg"));
        const std::string shown = picture && picture->isVisible()
                                      ? std::filesystem::path(picture->getTextureFile()).filename().string()
                                      : textOf(frame, "TitleText");
        const engine::ValueVector questions = GameManager::getInstance()->getQuestions();
        for (size_t slot = 0; slot < questions.size(); ++slot) {
            if (questions[slot].asString() == shown && showsSlot(frame, static_cast<int>(slot))) {
                return GameManager::getInstance()->getAnswers().at(slot);
            }
        }
        return -1;
    }
    // The options (or the popped-up moles) show the slot's pictures: two slots may ask the same question.
    static bool showsSlot(GameLayer* frame, int slot) {
        GameManager* game = GameManager::getInstance();
        const bool moles = !game->getAnswerImgs().empty();
        const engine::Value entry = GameManager::entryAt(moles ? game->getAnswerImgs() : game->getSelectImgs(), slot);
        const auto name = [](const std::string& file) { return std::filesystem::path(file).filename().string(); };
        for (int k = 1; entry.getType() == engine::Value::Type::VECTOR && k <= int(entry.asValueVector().size()); ++k) {
            auto* image = dynamic_cast<engine::ui::ImageView*>(moles ? moleOf(frame, k)
                                                                     : find(frame, "OperImg" + std::to_string(k)));
            if (image && name(image->getTextureFile()) != name(entry.asValueVector()[k - 1].asString())) {
                return false;
            }
        }
        return true;
    }
    // The popped-up mole of choice k, if any.
    static engine::Node* moleOf(GameLayer* frame, int k) {
        engine::Node* found = nullptr;
        for (int hole = 1; hole <= 8; ++hole) {
            engine::Node* mole = find(frame, "OperImg" + std::to_string(hole));
            found = mole && mole->getTag() == k ? mole : found;
        }
        return found;
    }
    // Clicks the right option of the question shown and waits until the answer counts and the game runs again.
    static void answerRight(GameLayer* frame) {
        const int before = frame->answeredCount;
        engine::Node* right = option(frame, rightChoice(frame));
        ASSERT_NE(right, nullptr);
        support::click(right);
        ASSERT_TRUE(support::stepUntil(
            [&] { return frame->answeredCount != before && (frame->running() || frame->state() == 3); }));
    }
    // Answers right to the end of the round; the pupil who played has won it.
    void winRound(GameLayer* frame, const std::string& screenshot) {
        const int id = frame->selectedId;
        while (frame->state() != 3 && !HasFailure()) {
            answerRight(frame);
        }
        expectWon(frame, id, screenshot);
    }
    // A frame with pupil icon i chosen and its game started.
    GameLayer* startGame(int icon = 0) {
        GameLayer* frame = openFrame();
        choosePupil(frame, icon);
        press(frame, "StartBtn");
        return frame;
    }
    // Clicks pupil icon i of the page.
    static void choosePupil(GameLayer* frame, int icon) {
        ASSERT_LT(icon, static_cast<int>(frame->studentIcons.size()));
        support::click(find(frame->studentIcons[icon], "IconFrame"));
        support::stepFrames(1);
    }
    // The slot shown now, read from the question text "<s + a> - <slot> = ?".
    static int shownSlot(GameLayer* frame) {
        const std::string text = textOf(frame, "TitleText");
        const size_t minus = text.find(" - ");
        return minus == std::string::npos ? -1 : std::atoi(text.c_str() + minus + 3);
    }
    // The option widget carrying choice number choice.
    static engine::Node* option(GameLayer* frame, int choice) { return UITools::seekChildByTag(frame, 10000 + choice); }
    // Closes the tip shown by its own button (a game may have a "Button1" of its own).
    static void closeTip() {
        if (engine::Node* tip = support::findByName("BgImage1")) {
            support::click(support::findByName("Button1", tip));
            support::stepFrames(2);
        }
    }
};

} // namespace games_test
