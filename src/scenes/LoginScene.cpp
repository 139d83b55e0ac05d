// Index of this file:
// [SECTION] Icon checks and small helpers
// [SECTION] Making the screen
// [SECTION] The institution logo
// [SECTION] Account fields and the on-screen keyboard
// [SECTION] The login press and its chain
// [SECTION] Course icons
// [SECTION] The interface pack and the end of the login

#include "scenes/LoginScene.h"

#include <cmath>
#include <functional>
#include <memory>

#include "base/Director.h"
#include "base/InputLimits.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/ExitApp.h"
#include "common/GDataManager.h"
#include "common/JsonManager.h"
#include "common/KeyBordLayer.h"
#include "common/PlatformFunc.h"
#include "common/PlistManager.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "lesson/DownloadLayer.h"
#include "lesson/UnsentResults.h"
#include "net/BackManager.h"
#include "net/DownManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "net/PictureFile.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"
#include "render/Texture2D.h"
#include "render/TextureCache.h"
#include "scene/Actions.h"
#include "scene/Label.h"
#include "scene/Sprite.h"
#include "scenes/CourseScene.h"
#include "scenes/SceneWidgets.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using engine::Director;
using engine::Node;
using engine::Vec2;
using engine::ui::TextField;

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Icon checks and small helpers
//----------------------------------------------------------------------------------------------------------------------

namespace {

constexpr int kFrontZOrder = 100;
constexpr int kKeyboardZOrder = 99;
constexpr int kOverlayZOrder = 105;
constexpr int kLogoZOrder = 105;
constexpr float kLogoWidth = 220.f;
constexpr const char* kCursorImage = "Common/Image_Cursor.png";

// Checks the icons on the decoding thread, all asked at once, and calls done when every answer is in. An icon
// that is no picture, or too large for an icon, is removed, so that it is fetched again; one that is kept stays
// in the texture cache at the size it is drawn.
void checkIcons(const std::vector<std::string>& paths, bool arrived, std::function<void()> done) {
    struct Checks {
        size_t waiting = 1; // the loop's own, so that answers given inside the call cannot finish early
        std::function<void()> done;
    };
    auto checks = std::make_shared<Checks>();
    checks->done = std::move(done);
    auto answer = [checks](bool) {
        if (--checks->waiting == 0) {
            checks->done();
        }
    };
    for (const std::string& path : paths) {
        ++checks->waiting;
        PictureFile::keepIfSmallPictureAsync(path, engine::limits::kPictureBytes, "course icon", arrived, answer);
    }
    answer(true);
}

// The scene whose callback BackManager holds; a scene that goes clears it only while it is its own.
const LoginScene* s_logoOwner = nullptr;

// Calls visit for each object element of the array (a null array has none); other elements are logged.
// The three icon addresses that course types and subjects both carry.
template <class Record> void readIcons(const rapidjson::Value& item, Record& record) {
    JsonManager* json = JsonManager::getInstance();
    record.iconNormal = json->getString(item, "iconNormal");
    record.iconSelected = json->getString(item, "iconSelected");
    record.iconLocked = json->getString(item, "iconLocked");
}

// The text as the field shows it: the mask repeated for a password.
float shownTextWidth(TextField* field) {
    const std::string& text = field->getString();
    if (text.empty()) {
        return 0.f;
    }
    engine::Label* label = engine::Label::create(text, field->getFontName(), static_cast<float>(field->getFontSize()));
    if (!label) {
        return 0.f;
    }
    if (field->isPasswordEnabled()) {
        label->setMaskCharacter(field->getPasswordStyleText());
    }
    return label->getContentSize().width;
}

} // namespace

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Making the screen
//----------------------------------------------------------------------------------------------------------------------

LoginScene::~LoginScene() {
    if (cursorBlink) {
        cursorBlink->release();
        cursorBlink = nullptr;
    }
    if (s_logoOwner == this) {
        BackManager::getInstance()->logoCallback = nullptr;
        s_logoOwner = nullptr;
    }
}

bool LoginScene::init() {
    if (!BaseScene::init()) {
        return false;
    }
    AudioManager::getInstance()->playBackgroundMusic();
    cursor = nullptr;
    cursorBlink = nullptr;
    return true;
}

void LoginScene::initData() {
    GDataManager* data = GDataManager::getInstance();
    data->runMode = 2;
    data->courseTypes.clear();
    clientPanel = nullptr;
    exitButton = nullptr;
    keyboard = nullptr;
    pendingUIHash.clear();
    pendingUIPath.clear();
    loginChainRunning = false;
    awaitedRequest.clear();
}

void LoginScene::initRes() {
    // A pack's layout without the fields and the button gives way to the program's own: the login always works.
    Node* root = UITools::createCsbNode("LoginScene.csb", {"UserName", "PassWord", "Btn_Login"});
    if (!root) {
        return;
    }
    addChild(root);

    clientPanel = SceneWidgets::showClientPanel(root);
    if (!clientPanel) {
        return;
    }

    auto bindField = [this](const char* name) -> TextField* {
        auto* field = SceneWidgets::find<TextField>(clientPanel, name);
        if (field) {
            field->setTouchEnabled(true);
            field->setLocalZOrder(kFrontZOrder);
            field->addEventListener(
                life.guard([this](engine::Ref* sender, TextField::EventType type) { onTextFieldEvent(sender, type); }));
        }
        return field;
    };
    userNameField = bindField("UserName");
    passWordField = bindField("PassWord");

    if (auto* login =
            SceneWidgets::bindClick(clientPanel, "Btn_Login", life.guard([this] { onLoginClicked(nullptr); }), true)) {
        login->setLocalZOrder(kFrontZOrder);
    }
    bindExitButton();

    if (auto* version = SceneWidgets::find<engine::ui::Text>(clientPanel, "Text_Version")) {
        std::string text = PlatformFunc::getInstance()->getVersionString();
        if (PlistManager::getInstance()->getString("Configs.plist", "DomainType") == "DomainTest") {
            text = "Test" + text;
        }
        version->setString(text);
        // The layout raised it with the panel; the version stays at the bottom edge.
        version->setPositionY(version->getPositionY() - GDataManager::getInstance()->screenOffsetY);
    }
}

void LoginScene::screenAdaptation() {
    if (!clientPanel) {
        return;
    }
    if (!exitButton && !bindExitButton()) {
        return;
    }
    const engine::Size window = Director::getInstance()->getWinSize();
    placeAtScenePoint(exitButton, Vec2(window.width, window.height));
}

void LoginScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    SFAnimation::getInstance()->preloadAnimations("Login", life.guard([this] { onLoginAnimationsLoaded(); }));
    BackManager::getInstance()->logoCallback = life.guard([this] { showInstitutionLogo(); });
    s_logoOwner = this;
    showInstitutionLogo();
    SqManager::getInstance()->initCoursewareTable();
    BackManager::getInstance()->removeUnusedFiles();
    BackManager::getInstance()->checkVersion();
}

void LoginScene::onLoginAnimationsLoaded() {
    const engine::ValueVector names = PlistManager::getInstance()->getValueVector("Perload.plist", "Login");
    for (size_t i = 0; i < names.size() && clientPanel; ++i) {
        Node* position =
            SceneWidgets::find(clientPanel, engine::StringUtils::format("AniPos%d", static_cast<int>(i + 1)));
        if (!position) {
            continue;
        }
        engine::Sprite* sprite =
            SFAnimation::getInstance()->playAnimationAtNode(position, names[i].asString(), true, nullptr, false, 0, 0);
        if (sprite) {
            // The first three lie behind the layout's front widgets, the later ones before them.
            sprite->setLocalZOrder(sprite->getLocalZOrder() + (i < 3 ? -1 : 1));
        }
    }
    showInstitutionLogo();
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The institution logo
//----------------------------------------------------------------------------------------------------------------------

void LoginScene::showInstitutionLogo() {
    if (!clientPanel) {
        return;
    }
    auto* logo = SceneWidgets::find<engine::ui::ImageView>(clientPanel, "Img_Logo");
    if (!logo) {
        return;
    }
    const std::string name = SqManager::getInstance()->getBaseData("InstitutionLogo");
    const std::string path = name.empty() ? "" : FileManager::getInstance()->getNetResPath() + name;
    if (!path.empty() && engine::FileUtils::getInstance()->isFileExist(path)) {
        // Decoded and scaled to the size it is drawn on the decoding thread; the layout's picture stays till then.
        Director::getInstance()->getTextureCache()->addImageAsync(
            path, life.guard([this, path](engine::Texture2D* texture) { showLogoPicture(path, texture); }),
            engine::limits::kSmallPictureSide, engine::limits::kSmallPictureKeptSide);
    } else if (!path.empty()) {
        engine::log("institution logo not loadable: %s", path.c_str());
    }
    const float top = Director::getInstance()->getWinSize().height - 10.f;
    placeAtScenePoint(logo, Vec2(logo->getParent()->convertToWorldSpace(logo->getPosition()).x, top));
}

void LoginScene::showLogoPicture(const std::string& path, engine::Texture2D* texture) {
    auto* logo = clientPanel ? SceneWidgets::find<engine::ui::ImageView>(clientPanel, "Img_Logo") : nullptr;
    if (!logo) {
        return;
    }
    const engine::Size size = texture ? texture->getContentSize() : engine::Size::ZERO;
    if (size.width <= 0.f || size.height <= 0.f) {
        // The layout's picture stays, unscaled.
        engine::log("institution logo not loadable: %s", path.c_str());
        return;
    }
    logo->loadTexture(path);
    logo->setVisible(true);
    logo->ignoreContentAdaptWithSize(false);
    logo->setContentSize(size * Director::getInstance()->getContentScaleFactor());
    logo->setLocalZOrder(kLogoZOrder);
    logo->setScale(kLogoWidth / logo->getContentSize().width);
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Account fields and the on-screen keyboard
//----------------------------------------------------------------------------------------------------------------------

void LoginScene::onTextFieldEvent(engine::Ref* sender, TextField::EventType type) {
    auto* field = dynamic_cast<TextField*>(sender);
    if (!field) {
        return;
    }
    switch (type) {
    case TextField::EventType::ATTACH_WITH_IME:
        if (!cursor) {
            const float height = static_cast<float>(static_cast<int>(field->getContentSize().height));
            cursor = engine::Sprite::create(kCursorImage, engine::Rect(0, 0, 2, height));
            if (cursor) {
                cursor->setAnchorPoint(Vec2(0.f, 0.5f));
                addChild(cursor);
                auto* blink = engine::RepeatForever::create(
                    engine::Sequence::create(engine::FadeOut::create(0.5f), engine::FadeIn::create(0.5f)));
                cursorBlink = cursor->runAction(blink);
                cursorBlink->retain();
            } else {
                engine::log("error login cursor: %s", kCursorImage);
            }
        }
        if (cursor) {
            cursor->setVisible(true);
        }
        updateCursor(field);
        showKeyboard(field);
        break;
    case TextField::EventType::INSERT_TEXT:
    case TextField::EventType::DELETE_BACKWARD:
        if (cursor) {
            cursor->setVisible(true);
        }
        updateCursor(field);
        break;
    case TextField::EventType::DETACH_WITH_IME:
        break;
    }
}

void LoginScene::updateCursor(TextField* field) {
    if (!cursor || !field) {
        return;
    }
    // The field draws its text from its left edge, vertically centred.
    const Vec2 end(shownTextWidth(field), field->getContentSize().height * 0.5f);
    cursor->setPosition(convertToNodeSpace(field->convertToWorldSpace(end)));
}

void LoginScene::showKeyboard(TextField* field) {
    if (keyboard) {
        keyboard->removeFromParentAndCleanup(true);
        keyboard = nullptr;
    }
    if (!clientPanel) {
        return;
    }
    keyboard = KeyBordLayer::create(true);
    if (!keyboard) {
        engine::log("error login keyboard");
        return;
    }
    keyboard->onInput = life.guard([this, field](const std::string& text) { onKeyInput(text, field); });
    keyboard->onDelete = life.guard([this, field] { onKeyDelete(field); });
    keyboard->onClear = life.guard([this, field] { onKeyClear(field); });
    keyboard->onClose = life.guard([this] { onKeyboardClosed(); });
    clientPanel->addChild(keyboard, kKeyboardZOrder);
    // Its full-window panel (closing on touch) covers the window although the client panel may be raised.
    placeAtScenePoint(keyboard, Vec2::ZERO);
    if (keyboard->bgImg) {
        const engine::Size window = Director::getInstance()->getWinSize();
        keyboard->bgImg->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
        // Whole units: the key caps' nine-slice seams show at fractional positions.
        const Vec2 centre(std::round(window.width / 3.f),
                          std::round(window.height / 3.f + GDataManager::getInstance()->screenOffsetY));
        placeAtScenePoint(keyboard->bgImg, centre);
    }
}

void LoginScene::onKeyInput(const std::string& text, TextField* field) {
    field->setString(field->getString() + text);
    updateCursor(field);
}

void LoginScene::onKeyDelete(TextField* field) {
    std::string text = field->getString();
    if (!text.empty()) {
        engine::StringUtils::popBackUTF8(text);
        field->setString(text);
    }
    updateCursor(field);
}

void LoginScene::onKeyClear(TextField* field) {
    field->setString("");
    updateCursor(field);
}

void LoginScene::onKeyboardClosed() {
    keyboard = nullptr;
    if (cursor) {
        cursor->setVisible(false);
    }
    // A touch on the same field then attaches it again and reopens the keyboard.
    for (TextField* field : {userNameField, passWordField}) {
        if (field && field->getAttachWithIME()) {
            field->detachWithIME();
        }
    }
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The login press and its chain
//----------------------------------------------------------------------------------------------------------------------

void LoginScene::onLoginClicked(engine::Ref*) {
    if (loginChainRunning && !isChainStalled()) {
        engine::log("login already running");
        return;
    }
    requestLogin();
}

bool LoginScene::isChainStalled() const {
    return !awaitedRequest.empty() && !HttpManager::getInstance()->isAwaitingReply(awaitedRequest);
}

engine::ui::Widget* LoginScene::bindExitButton() {
    exitButton = SceneWidgets::bindClick(clientPanel, "Btn_Exit", exitApp, true);
    if (exitButton) {
        exitButton->setLocalZOrder(kFrontZOrder);
    }
    return exitButton;
}

void LoginScene::placeAtScenePoint(Node* node, const Vec2& scenePoint) const {
    Node* parent = node->getParent();
    node->setPosition(parent ? parent->convertToNodeSpace(convertToWorldSpace(scenePoint)) : scenePoint);
}

template <class Handler>
void LoginScene::sendChainRequest(const std::string& name, Handler handler, std::map<std::string, std::string> fields) {
    loginChainRunning = true;
    awaitedRequest = name;
    HttpManager::getInstance()->sendRequest(
        name, life.guard([this, handler](const std::string& replyName, rapidjson::Value& data) {
            awaitedRequest.clear();
            (this->*handler)(replyName, data);
        }),
        true, "union", nullptr, std::move(fields));
}

void LoginScene::requestLogin() {
    std::map<std::string, std::string> fields;
    fields["username"] = userNameField ? userNameField->getString() : std::string();
    fields["password"] = passWordField ? passWordField->getString() : std::string();
    loginAccount = fields["username"];
    sendChainRequest("login", &LoginScene::onLoginReply, std::move(fields));
}

void LoginScene::onLoginReply(const std::string&, rapidjson::Value& data) {
    JsonManager* json = JsonManager::getInstance();
    HttpManager* http = HttpManager::getInstance();
    http->token = json->getString(data, "token");
    http->account = loginAccount;
    UnsentResults::sendFor(loginAccount);
    BackManager::getInstance()->loadInstitutionLogo(json->getString(data, "logo"));
    const int institutionId = json->getInt(data, "institutionId");
    if (institutionId > 0) {
        GDataManager::getInstance()->institutionId = institutionId;
        SqManager::getInstance()->setBaseData("InstitutionId", engine::StringUtils::format("%d", institutionId));
    }
    requestCourseIcon();
}

void LoginScene::requestCourseIcon() {
    const std::string appId = PlistManager::getInstance()->getString("Configs.plist", "ClientId");
    sendChainRequest("getCourseIcon", &LoginScene::onCourseIconReply, {{"appId", appId}});
}

void LoginScene::onCourseIconReply(const std::string&, rapidjson::Value& data) {
    JsonManager* json = JsonManager::getInstance();
    auto& courseTypes = GDataManager::getInstance()->courseTypes;
    json->forEachObject(json->getArray(data, "typeList"), "typeList", [&](const rapidjson::Value& item) {
        CourseTypeRecord record;
        record.typeCode = json->getInt(item, "typeCode");
        record.typeName = json->getString(item, "typeName");
        readIcons(item, record);
        courseTypes[record.typeCode] = record;
    });
    json->forEachObject(json->getArray(data, "subjectList"), "subjectList", [&](const rapidjson::Value& item) {
        SubjectRecord record;
        record.subjectCode = json->getInt(item, "subjectCode");
        record.playMode = json->getInt(item, "playMode");
        record.subjectName = json->getString(item, "subjectName");
        readIcons(item, record);
        courseTypes[json->getInt(item, "typeCode")].subjects[record.subjectCode] = record;
    });
    requestCoursePermission();
}

void LoginScene::requestCoursePermission() {
    sendChainRequest("getCoursePermission", &LoginScene::onCoursePermissionReply, {});
}

void LoginScene::onCoursePermissionReply(const std::string&, rapidjson::Value& data) {
    JsonManager* json = JsonManager::getInstance();
    auto& courseTypes = GDataManager::getInstance()->courseTypes;
    json->forEachObject(json->asArray(data, "data"), "data", [&](const rapidjson::Value& typeItem) {
        auto type = courseTypes.find(json->getInt(typeItem, "typeCode"));
        if (type == courseTypes.end()) {
            return;
        }
        type->second.enabled = json->getInt(typeItem, "enabled");
        json->forEachObject(json->getArray(typeItem, "children"), "children", [&](const rapidjson::Value& subjectItem) {
            SubjectRecord& subject = type->second.subjects[json->getInt(subjectItem, "subjectCode")];
            subject.enabled = json->getInt(subjectItem, "enabled");
            json->forEachObject(json->getArray(subjectItem, "children"), "children",
                                [&](const rapidjson::Value& gradeItem) {
                                    const int gradeCode = json->getInt(gradeItem, "gradeCode");
                                    if (gradeCode > 0) {
                                        GradeRecord grade;
                                        grade.enabled = json->getInt(gradeItem, "enabled");
                                        grade.gradeCode = gradeCode;
                                        grade.gradeName = json->getString(gradeItem, "gradeName");
                                        subject.grades[gradeCode] = grade;
                                    }
                                    json->forEachObject(json->getArray(gradeItem, "children"), "children",
                                                        [&](const rapidjson::Value& phaseItem) {
                                                            PhaseRecord phase;
                                                            phase.enabled = json->getInt(phaseItem, "enabled");
                                                            phase.phaseCode = json->getInt(phaseItem, "phaseCode");
                                                            phase.phaseName = json->getString(phaseItem, "phaseName");
                                                            subject.grades[gradeCode].phases[phase.phaseCode] = phase;
                                                        });
                                });
        });
    });
    downloadCourseIcons();
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Course icons
//----------------------------------------------------------------------------------------------------------------------

DownloadLayer* LoginScene::addDownloadOverlay() {
    DownloadLayer* overlay = DownloadLayer::create();
    if (!overlay) {
        engine::log("error login download overlay");
        return nullptr;
    }
    engine::Scene* scene = Director::getInstance()->getRunningScene();
    (scene ? static_cast<Node*>(scene) : this)->addChild(overlay, kOverlayZOrder);
    return overlay;
}

void LoginScene::downloadCourseIcons() {
    const std::string folder = FileManager::getInstance()->getCourseIconsPath();
    std::vector<DownloadRecord> icons;
    auto localIcon = [&](std::string& icon) {
        const std::string name = FileManager::getFileName(icon);
        if (name.empty()) {
            return;
        }
        const std::string suffix = FileManager::getFileSuffix(icon);
        const std::string local = folder + name + suffix;
        icons.push_back(DownloadRecord{"", icon, local, suffix});
        icon = local;
    };
    for (auto& [typeCode, type] : GDataManager::getInstance()->courseTypes) {
        localIcon(type.iconNormal);
        localIcon(type.iconSelected);
        localIcon(type.iconLocked);
        for (auto& [subjectCode, subject] : type.subjects) {
            localIcon(subject.iconNormal);
            localIcon(subject.iconSelected);
            localIcon(subject.iconLocked);
        }
    }
    std::vector<std::string> onDisk;
    for (const DownloadRecord& icon : icons) {
        if (engine::FileUtils::getInstance()->isFileExist(icon.storagePath)) {
            onDisk.push_back(icon.storagePath);
        }
    }
    checkIcons(onDisk, false, life.guard([this, icons] { fetchCourseIcons(icons); }));
}

void LoginScene::fetchCourseIcons(const std::vector<DownloadRecord>& icons) {
    DownloadLayer* overlay = addDownloadOverlay();
    if (!overlay) {
        requestUI();
        return;
    }
    // What the check removed is fetched again with what was never there.
    std::vector<std::string> fetched;
    for (const DownloadRecord& icon : icons) {
        if (!engine::FileUtils::getInstance()->isFileExist(icon.storagePath)) {
            overlay->addTask(icon);
            fetched.push_back(icon.storagePath);
        }
    }
    overlay->finishCallback = life.guard([this, fetched] {
        // An icon that is no picture goes, so the next login fetches it again.
        std::vector<std::string> arrived;
        for (const std::string& icon : fetched) {
            if (engine::FileUtils::getInstance()->isFileExist(icon)) {
                arrived.push_back(icon);
            }
        }
        checkIcons(arrived, true, life.guard([this] { requestUI(); }));
    });
    overlay->startNext();
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The interface pack and the end of the login
//----------------------------------------------------------------------------------------------------------------------

void LoginScene::requestUI() {
    const std::string institutionId = engine::StringUtils::format("%d", GDataManager::getInstance()->institutionId);
    sendChainRequest("getUI", &LoginScene::onUIReply, {{"institutionId", institutionId}});
}

bool LoginScene::isSafePackFormat(const std::string& format) {
    return DownManager::isSafeExtension("." + format);
}

void LoginScene::onUIReply(const std::string&, rapidjson::Value& data) {
    auto ui = data.IsObject() ? data.FindMember("ui") : rapidjson::Value::MemberIterator();
    if (!data.IsObject() || ui == data.MemberEnd() || ui->value.IsNull()) {
        engine::log("无ui定制");
        finishLogin();
        return;
    }
    if (!ui->value.IsObject()) {
        engine::log("error json object: ui");
        finishLogin();
        return;
    }
    JsonManager* json = JsonManager::getInstance();
    const std::string address = json->getString(ui->value, "hash");
    const std::string hash = FileManager::getFileName(address);
    const std::string format = json->getString(ui->value, "format");
    if (hash == SqManager::getInstance()->getBaseData("InsUIHash")) {
        finishLogin();
        return;
    }
    if (hash.empty() || !isSafePackFormat(format)) {
        engine::log("error ui pack name: %s.%s", hash.c_str(), format.c_str());
        finishLogin();
        return;
    }
    DownloadLayer* overlay = addDownloadOverlay();
    if (!overlay) {
        finishLogin();
        return;
    }
    const std::string suffix = "." + format;
    pendingUIHash = hash;
    pendingUIPath = FileManager::getInstance()->getResRoot() + "LocalRes/" + hash + suffix;
    overlay->addTask(DownloadRecord{"", address, pendingUIPath, suffix});
    // A zip pack counts only once it is unpacked; the scene is gone by then, so the hash travels by value.
    overlay->unzipFinishCallback = [hash](const std::string& zipPath, bool extracted) {
        if (extracted) {
            SqManager::getInstance()->setBaseData("InsUIHash", hash);
        } else {
            engine::log("interface pack not extracted: %s", zipPath.c_str());
        }
    };
    overlay->finishCallback = life.guard([this] { finishLogin(); });
    overlay->startNext();
}

void LoginScene::finishLogin() {
    auto* files = engine::FileUtils::getInstance();
    files->addSearchPath(FileManager::getInstance()->getHeadImgsPath(), false);
    files->addSearchPath(FileManager::getInstance()->getNetResPath(), false);
    FileManager::getInstance()->searchPaths = files->getSearchPaths();
    if (!pendingUIHash.empty()) {
        // The downloader writes the file only when it arrived whole. A zip is still waiting for its extraction,
        // whose result stores the hash.
        if (!files->isFileExist(pendingUIPath)) {
            engine::log("interface pack not loaded: %s", pendingUIPath.c_str());
        } else if (FileManager::getFileSuffix(pendingUIPath) != ".zip") {
            SqManager::getInstance()->setBaseData("InsUIHash", pendingUIHash);
        }
    }
    Director::getInstance()->replaceScene(CourseScene::create());
}
