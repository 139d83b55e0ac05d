// Shared fixture of the game tests: a lecture whose Game map plays model 41 with ten text questions, slot s
// answered by choice s % 4 + 1, and the frame opened on the running scene.
#pragma once

#include <string>

#include "games/GameLayer.h"
#include "tools/ToolsFixture.h"

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
            questions += "<string>Q" + std::to_string(s) + "</string>";
            answers += "<integer>" + std::to_string(answerOf(s)) + "</integer>";
            options += "<array>";
            for (int k = 1; k <= 4; ++k) {
                options += "<string>opt" + std::to_string(k) + ".png</string>";
            }
            options += "</array>";
        }
        for (int k = 1; k <= 4; ++k) {
            writePicture(folder + "GameImg/opt" + std::to_string(k) + ".png", optionSize, optionSize,
                         {static_cast<uint8_t>(60 * k), 140, 200, 255});
        }
        writePicture(folder + "GameImg/GameBg/bg.png", 1280, 720, {214, 236, 250, 255});
        const std::string xml =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>Game</key><dict>" + extra +
            "<key>BgImg</key><string>bg.png</string><key>GameModel</key><integer>" + std::to_string(model) +
            "</integer><key>Time</key><integer>60</integer><key>Score</key><real>100</real>"
            "<key>QNum</key><integer>" +
            std::to_string(qnum) + "</integer><key>QuestionType</key><integer>2</integer><key>Questions</key><array>" +
            questions + "</array><key>Answers</key><array>" + answers + "</array><key>SelectImgs</key><array>" +
            options +
            "</array><key>Animations</key><dict><key>Celebrate</key><string>TopicCelebrate</string>"
            "<key>Effect</key><string>GameEffect</string></dict></dict></dict></plist>\n";
        std::filesystem::create_directories(folder);
        engine::FileUtils::getInstance()->writeStringToFile(xml, folder + "Topic.plist");
    }
    // A frame on the running scene, its animations preloaded and its game made.
    GameLayer* openFrame() {
        auto* frame = new GameLayer();
        EXPECT_TRUE(frame->init());
        frame->autorelease();
        engine::Director::getInstance()->getRunningScene()->addChild(frame);
        EXPECT_TRUE(support::stepUntil([frame] { return frame->rootNode != nullptr; }));
        support::stepFrames(1);
        return frame;
    }
    // Clicks pupil icon i of the page.
    static void choosePupil(GameLayer* frame, int icon) {
        ASSERT_LT(icon, static_cast<int>(frame->studentIcons.size()));
        support::click(find(frame->studentIcons[icon], "IconFrame"));
        support::stepFrames(1);
    }
    // The slot shown now, read from the question text "Q<slot>".
    static int shownSlot(GameLayer* frame) {
        const std::string text = textOf(frame, "TitleText");
        return text.size() == 2 && text[0] == 'Q' ? text[1] - '0' : -1;
    }
    // The option widget carrying choice number choice.
    static engine::Node* option(GameLayer* frame, int choice) { return UITools::seekChildByTag(frame, 10000 + choice); }
    static void closeTip() {
        if (engine::Node* button = support::findByName("Button1")) {
            support::click(button);
            support::stepFrames(2);
        }
    }
};

} // namespace games_test
