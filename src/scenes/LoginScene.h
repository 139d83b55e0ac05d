// The first screen: account and password with the on-screen keyboard, the start-up housekeeping, and the login
// request chain that fills the course catalogue and opens the course scene.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "base/Geometry.h"
#include "common/BaseScene.h"
#include "common/LifeToken.h"
#include "net/DownloadRecord.h"
#include "ui/TextField.h"

namespace engine {
class Action;
class Node;
class Ref;
class Sprite;
class Texture2D;
} // namespace engine

class DownloadLayer;
class KeyBordLayer;

class LoginScene : public BaseScene {
public:
    static LoginScene* create() { return createScene<LoginScene>(); }

    ~LoginScene() override;

    bool init() override;
    void onEnterTransitionDidFinish() override;
    void initData() override;
    void initRes() override;
    void screenAdaptation() override;
    bool isLoginScreen() const override { return true; }

    void onLoginAnimationsLoaded();
    void showInstitutionLogo();
    void showLogoPicture(const std::string& path, engine::Texture2D* texture);

    // Text fields: attach opens the keyboard; typing and deleting move the cursor.
    void onTextFieldEvent(engine::Ref* sender, engine::ui::TextField::EventType type);
    void showKeyboard(engine::ui::TextField* field);
    void updateCursor(engine::ui::TextField* field);
    void onKeyInput(const std::string& text, engine::ui::TextField* field);
    void onKeyDelete(engine::ui::TextField* field);
    void onKeyClear(engine::ui::TextField* field);
    void onKeyboardClosed();

    // Starts the login chain unless one is running.
    void onLoginClicked(engine::Ref* sender);

    // The login chain, one step after the other.
    void requestLogin();
    void onLoginReply(const std::string& name, rapidjson::Value& data);
    void requestCourseIcon();
    void onCourseIconReply(const std::string& name, rapidjson::Value& data);
    void requestCoursePermission();
    void onCoursePermissionReply(const std::string& name, rapidjson::Value& data);
    void downloadCourseIcons();
    // Fetches the icons that are not on disk (or were refused by the check), then checks those that arrived.
    void fetchCourseIcons(const std::vector<DownloadRecord>& icons);
    void requestUI();
    void onUIReply(const std::string& name, rapidjson::Value& data);
    void finishLogin();

    // Used as a file name only when it is 1 to 8 letters or digits.
    static bool isSafePackFormat(const std::string& format);

private:
    friend class BaseScene;
    LoginScene() = default;

    // Sends one request of the chain; its reply goes to handler.
    template <class Handler>
    void sendChainRequest(const std::string& name, Handler handler, std::map<std::string, std::string> fields);
    // A request of the chain was answered without reaching its handler: the chain has stopped.
    bool isChainStalled() const;
    // Binds "Btn_Exit" to exitApp in front of the keyboard; null (logged) when the layout has none.
    engine::ui::Widget* bindExitButton();
    // The download overlay on the running scene; null (logged) when it cannot be made.
    DownloadLayer* addDownloadOverlay();
    // Puts node at a point of the scene, whatever its parent.
    void placeAtScenePoint(engine::Node* node, const engine::Vec2& scenePoint) const;

    engine::Node* clientPanel = nullptr;
    engine::ui::Widget* exitButton = nullptr;
    engine::Sprite* cursor = nullptr;
    KeyBordLayer* keyboard = nullptr;
    engine::Action* cursorBlink = nullptr;
    engine::ui::TextField* userNameField = nullptr;
    engine::ui::TextField* passWordField = nullptr;
    std::string pendingUIHash;
    // Where the interface pack is fetched to; its hash is stored only when the file is there.
    std::string pendingUIPath;

    // The account of the login request out, which its reply's token belongs to.
    std::string loginAccount;
    bool loginChainRunning = false;
    // The chain request whose handler has not run yet; empty during a download phase.
    std::string awaitedRequest;
    LifeToken life;
};
