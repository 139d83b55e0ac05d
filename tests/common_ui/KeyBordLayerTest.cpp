#include <gtest/gtest.h>

#include "CommonUiFixture.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/KeyBordLayer.h"
#include "common/UITools.h"
#include "platform/GLView.h"
#include "ui/Layout.h"
#include "ui/Text.h"
#include "ui/TextField.h"

using common_ui::CommonUiTest;
using engine::Node;

class KeyboardTest : public CommonUiTest {
protected:
    void SetUp() override {
        CommonUiTest::SetUp();
        support::runScene(BaseScene::create());
        scene = engine::Director::getInstance()->getRunningScene();
    }

    KeyBordLayer* open(bool closeOnOutsideTouch) {
        KeyBordLayer* keyboard = KeyBordLayer::create(closeOnOutsideTouch);
        EXPECT_NE(keyboard, nullptr);
        if (keyboard) {
            scene->addChild(keyboard, 99);
        }
        return keyboard;
    }

    // The key whose label reads label; null when none does.
    static Node* keyFor(KeyBordLayer* keyboard, const std::string& label) {
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

    static std::string labelOf(KeyBordLayer* keyboard, const std::string& keyName) {
        Node* key = UITools::seekChildByName(keyboard, keyName);
        return dynamic_cast<engine::ui::Text*>(key->getChildByName("Text"))->getString();
    }

    bool press(KeyBordLayer* keyboard, const std::string& label) {
        Node* key = keyFor(keyboard, label);
        if (!key) {
            ADD_FAILURE() << "no key " << label;
            return false;
        }
        support::click(key);
        return true;
    }

    Node* scene = nullptr;
};

class KeyboardTyping : public KeyboardTest {};

TEST_F(KeyboardTyping, TypesAWordWithShiftIntoATextField) {
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
    ASSERT_NE(keyboard, nullptr);
    keyboard->onInput = [field](const std::string& text) { field->setString(field->getString() + text); };
    keyboard->onDelete = [field] {
        std::string text = field->getString();
        if (!text.empty()) {
            text.pop_back();
        }
        field->setString(text);
    };

    ASSERT_TRUE(press(keyboard, "Shift"));
    EXPECT_TRUE(keyboard->isUpperCase());
    ASSERT_TRUE(press(keyboard, "H"));
    ASSERT_TRUE(press(keyboard, "Shift"));
    for (const char* label : {"e", "l", "l", "o", "x", "Delete", "2"}) {
        ASSERT_TRUE(press(keyboard, label));
    }
    EXPECT_EQ(field->getString(), "Hello2");
    ASSERT_TRUE(press(keyboard, "Shift"));
    EXPECT_FALSE(support::saveScreenshot("keyboard").empty());
}

TEST_F(KeyboardTyping, ShiftRelabelsOnlyTheLetterKeys) {
    KeyBordLayer* keyboard = open(false);
    EXPECT_EQ(labelOf(keyboard, "KeyBtn1"), "a");
    EXPECT_EQ(labelOf(keyboard, "KeyBtn26"), "z");
    ASSERT_TRUE(press(keyboard, "Shift"));
    EXPECT_EQ(labelOf(keyboard, "KeyBtn1"), "A");
    EXPECT_EQ(labelOf(keyboard, "KeyBtn26"), "Z");
    EXPECT_EQ(labelOf(keyboard, "KeyBtn27"), "1");
    ASSERT_TRUE(press(keyboard, "Shift"));
    EXPECT_EQ(labelOf(keyboard, "KeyBtn1"), "a");
    EXPECT_FALSE(keyboard->isUpperCase());
}

TEST_F(KeyboardTyping, DeleteAndClearKeysCallTheirCallbacks) {
    KeyBordLayer* keyboard = open(false);
    int deletes = 0, clears = 0;
    keyboard->onDelete = [&] { ++deletes; };
    keyboard->onClear = [&] { ++clears; };
    press(keyboard, "Delete");
    press(keyboard, "Clear");
    press(keyboard, "Clear");
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(clears, 2);
}

TEST_F(KeyboardTyping, EmptyCallbacksAreSkipped) {
    KeyBordLayer* keyboard = open(false);
    press(keyboard, "q");
    press(keyboard, "Delete");
    press(keyboard, "Clear");
    press(keyboard, "Shift");
    EXPECT_TRUE(keyboard->isUpperCase());
    EXPECT_EQ(labelOf(keyboard, "KeyBtn1"), "A");
}

TEST_F(KeyboardTyping, SlidingOffAKeyBeforeReleaseSendsNothing) {
    KeyBordLayer* keyboard = open(false);
    std::string typed;
    keyboard->onInput = [&](const std::string& text) { typed += text; };
    Node* key = keyFor(keyboard, "k");
    ASSERT_NE(key, nullptr);
    support::drag(support::worldCenter(key), support::worldCenter(key) + engine::Vec2(0, 300));
    EXPECT_EQ(typed, "");
    support::click(key);
    EXPECT_EQ(typed, "k");
}

TEST_F(KeyboardTyping, InputMayCloseTheKeyboard) {
    KeyBordLayer* keyboard = open(false);
    std::string typed;
    keyboard->onInput = [&, keyboard](const std::string& text) {
        typed += text;
        keyboard->removeFromParent();
    };
    press(keyboard, "a");
    support::stepFrames(2);
    EXPECT_EQ(typed, "a");
    EXPECT_EQ(support::findByName("BgImg"), nullptr);
}

class KeyboardClosing : public KeyboardTest {};

TEST_F(KeyboardClosing, TouchOutsideTheBodyClosesIt) {
    KeyBordLayer* keyboard = open(true);
    int closes = 0;
    keyboard->onClose = [&] { ++closes; };
    support::click(keyboard->bgImg);
    EXPECT_EQ(closes, 0);
    support::tapAt(engine::Vec2(640, 650));
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(support::findByName("BgImg"), nullptr);
}

TEST_F(KeyboardClosing, WithoutTheFlagOutsideTouchesDoNothing) {
    KeyBordLayer* keyboard = open(false);
    int closes = 0;
    keyboard->onClose = [&] { ++closes; };
    support::tapAt(engine::Vec2(640, 650));
    EXPECT_EQ(closes, 0);
    EXPECT_NE(support::findByName("BgImg"), nullptr);
}

TEST_F(KeyboardClosing, TheLastCreateDecides) {
    KeyBordLayer* first = open(true);
    first->removeFromParent();
    KeyBordLayer* second = open(false);
    int closes = 0;
    second->onClose = [&] { ++closes; };
    support::tapAt(engine::Vec2(640, 650));
    EXPECT_EQ(closes, 0);
}

TEST_F(KeyboardClosing, CloseCallbackMayRemoveTheKeyboardItself) {
    KeyBordLayer* keyboard = open(true);
    keyboard->onClose = [keyboard] { keyboard->removeFromParent(); };
    support::tapAt(engine::Vec2(640, 650));
    support::stepFrames(2);
    EXPECT_EQ(support::findByName("BgImg"), nullptr);
}
