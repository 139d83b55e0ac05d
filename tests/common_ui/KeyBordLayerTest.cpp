#include <gtest/gtest.h>

#include "CommonUiFixture.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/KeyBordLayer.h"
#include "common/UITools.h"
#include "ui/Layout.h"
#include "ui/Text.h"
#include "ui/TextField.h"

using common_ui::CommonUiTest;
using engine::Node;

namespace {

// A point of the window outside the keyboard body.
const engine::Vec2 kOutside(640, 650);

Node* keyFor(KeyBordLayer* keyboard, const std::string& label) {
    for (int n = 1;; ++n) {
        Node* key = UITools::seekChildByName(keyboard, "KeyBtn" + std::to_string(n));
        if (!key) {
            return nullptr;
        }
        auto* text = dynamic_cast<engine::ui::Text*>(key->getChildByName("Text"));
        if (text && text->getString() == label) {
            return key;
        }
    }
}

std::string labelOf(KeyBordLayer* keyboard, int keyNumber) {
    Node* key = UITools::seekChildByName(keyboard, "KeyBtn" + std::to_string(keyNumber));
    return dynamic_cast<engine::ui::Text*>(key->getChildByName("Text"))->getString();
}

} // namespace

class KeyboardTest : public CommonUiTest {
protected:
    void SetUp() override {
        CommonUiTest::SetUp();
        support::runScene(BaseScene::create());
        scene = engine::Director::getInstance()->getRunningScene();
    }

    KeyBordLayer* open(bool closeOnOutsideTouch) {
        KeyBordLayer* keyboard = KeyBordLayer::create(closeOnOutsideTouch);
        scene->addChild(keyboard, 99);
        return keyboard;
    }

    void press(KeyBordLayer* keyboard, std::initializer_list<const char*> labels) {
        for (const char* label : labels) {
            Node* key = keyFor(keyboard, label);
            ASSERT_NE(key, nullptr) << label;
            support::click(key);
        }
    }

    Node* scene = nullptr;
};

TEST_F(KeyboardTest, TypesAWordWithShiftIntoATextField) {
    engine::ui::Layout* background = engine::ui::Layout::create();
    background->setContentSize(engine::Director::getInstance()->getWinSize());
    background->setBackGroundColorType(engine::ui::Layout::BackGroundColorType::SOLID);
    background->setBackGroundColor(engine::Color3B(0xea, 0xf6, 0xfd));
    scene->addChild(background);
    engine::ui::TextField* field = engine::ui::TextField::create("User name", "", 32);
    field->setTextColor(engine::Color4B(0x33, 0x41, 0x4e, 0xff));
    field->setPosition(engine::Vec2(640, 520));
    scene->addChild(field);

    KeyBordLayer* keyboard = open(true);
    keyboard->onInput = [field](const std::string& text) { field->setString(field->getString() + text); };
    keyboard->onDelete = [field] {
        std::string text = field->getString();
        text.pop_back();
        field->setString(text);
    };
    press(keyboard, {"Shift", "H", "Shift", "e", "l", "l", "o", "x", "Delete", "2"});
    EXPECT_EQ(field->getString(), "Hello2");
    EXPECT_FALSE(keyboard->isUpperCase());
    EXPECT_FALSE(support::saveScreenshot("keyboard").empty());
}

TEST_F(KeyboardTest, ShiftRelabelsOnlyTheLetterKeysAndWorksWithoutCallbacks) {
    KeyBordLayer* keyboard = open(false);
    EXPECT_EQ(labelOf(keyboard, 1) + labelOf(keyboard, 26), "az");
    press(keyboard, {"q", "Delete", "Clear", "Shift"});
    EXPECT_TRUE(keyboard->isUpperCase());
    EXPECT_EQ(labelOf(keyboard, 1) + labelOf(keyboard, 26) + labelOf(keyboard, 27), "AZ1");
    press(keyboard, {"Shift"});
    EXPECT_EQ(labelOf(keyboard, 1), "a");
}

TEST_F(KeyboardTest, DeleteAndClearKeysCallTheirCallbacks) {
    KeyBordLayer* keyboard = open(false);
    int deletes = 0, clears = 0;
    keyboard->onDelete = [&] { ++deletes; };
    keyboard->onClear = [&] { ++clears; };
    press(keyboard, {"Delete", "Clear", "Clear"});
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(clears, 2);
}

TEST_F(KeyboardTest, SlidingOffAKeyBeforeReleaseSendsNothing) {
    KeyBordLayer* keyboard = open(false);
    std::string typed;
    keyboard->onInput = [&](const std::string& text) { typed += text; };
    Node* key = keyFor(keyboard, "k");
    support::drag(support::worldCenter(key), support::worldCenter(key) + engine::Vec2(0, 300));
    EXPECT_EQ(typed, "");
    support::click(key);
    EXPECT_EQ(typed, "k");
}

TEST_F(KeyboardTest, InputMayCloseTheKeyboard) {
    KeyBordLayer* keyboard = open(false);
    std::string typed;
    keyboard->onInput = [&, keyboard](const std::string& text) {
        typed += text;
        keyboard->removeFromParent();
    };
    press(keyboard, {"a"});
    support::stepFrames(2);
    EXPECT_EQ(typed, "a");
    EXPECT_EQ(support::findByName("BgImg"), nullptr);
}

TEST_F(KeyboardTest, TouchOutsideTheBodyClosesItOnlyWithTheFlag) {
    KeyBordLayer* keyboard = open(true);
    int closes = 0;
    keyboard->onClose = [&] { ++closes; };
    support::click(keyboard->bgImg);
    EXPECT_EQ(closes, 0);
    support::tapAt(kOutside);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(support::findByName("BgImg"), nullptr);

    // The flag of the last create counts.
    keyboard = open(false);
    keyboard->onClose = [&] { ++closes; };
    support::tapAt(kOutside);
    EXPECT_EQ(closes, 1);
    EXPECT_NE(support::findByName("BgImg"), nullptr);
}

TEST_F(KeyboardTest, CloseCallbackMayRemoveTheKeyboardItself) {
    KeyBordLayer* keyboard = open(true);
    keyboard->onClose = [keyboard] { keyboard->removeFromParent(); };
    support::tapAt(kOutside);
    support::stepFrames(2);
    EXPECT_EQ(support::findByName("BgImg"), nullptr);
}

TEST_F(KeyboardTest, TallWindowDimsTheWholeWindowAndLiftsTheBody) {
    support::stopHeadless();
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    support::runScene(BaseScene::create());
    scene = engine::Director::getInstance()->getRunningScene();
    engine::ui::Layout* background = engine::ui::Layout::create();
    background->setContentSize(engine::Director::getInstance()->getWinSize());
    background->setBackGroundColorType(engine::ui::Layout::BackGroundColorType::SOLID);
    background->setBackGroundColor(engine::Color3B(0xff, 0xff, 0xff));
    scene->addChild(background);
    KeyBordLayer* keyboard = open(true);
    EXPECT_FALSE(support::saveScreenshot("keyboard_tall").empty());
    for (int y : {2, 60, 118, 480, 958}) {
        EXPECT_LT(support::readPixel(20, y).r, 0xf8) << "row " << y;
    }
    EXPECT_FLOAT_EQ(support::worldCenter(keyboard->bgImg).y, 320.f);
}
