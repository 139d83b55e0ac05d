// The login scene: the fields with the on-screen keyboard, the institution logo, and the login request chain
// against the demo server.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "FaultPictures.h"
#include "base/Director.h"
#include "base/InputLimits.h"
#include "common/GDataManager.h"
#include "common/KeyBordLayer.h"
#include "common/PlistManager.h"
#include "common/UITools.h"
#include "net/HttpManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"
#include "render/Texture2D.h"
#include "render/TextureCache.h"
#include "scene/Sprite.h"
#include "scenes/CourseScene.h"
#include "scenes/LoginScene.h"
#include "support/ClientTest.h"
#include "ui/ImageView.h"
#include "ui/Text.h"
#include "ui/TextField.h"

namespace fs = std::filesystem;
using engine::Node;
using engine::ui::TextField;
using support::click;
using support::findByName;
using support::stepFrames;
using support::stepUntil;
using support::waitFor;

namespace {

class LoginSceneTest : public support::ClientTest {
protected:
    void SetUp() override {
        support::ClientTest::SetUp();
        enterLoginScene();
    }

    void TearDown() override {
        if (customServer) {
            customServer->stop();
        }
        support::ClientTest::TearDown();
    }

    // A new login scene, stepped until its preload and version check no longer cover it.
    void enterLoginScene() {
        scene = LoginScene::create();
        ASSERT_NE(scene, nullptr);
        support::runScene(scene);
        ASSERT_TRUE(
            waitFor([] { return !findByName("Img_LoadingBg") && !HttpManager::getInstance()->getLoadingPanel(); }));
        stepFrames(2);
    }

    Node* panel() const { return findByName("Panel_Client9"); }
    TextField* field(const std::string& name) const { return dynamic_cast<TextField*>(findByName(name)); }

    std::vector<KeyBordLayer*> keyboards() const {
        std::vector<KeyBordLayer*> found;
        for (Node* child : panel()->getChildren()) {
            if (auto* keyboard = dynamic_cast<KeyBordLayer*>(child)) {
                found.push_back(keyboard);
            }
        }
        return found;
    }

    // The open keyboard's key showing label.
    Node* key(const std::string& label) const {
        const auto open = keyboards();
        if (open.size() != 1) {
            return nullptr;
        }
        for (int n = 1;; ++n) {
            Node* node = UITools::seekChildByName(open[0], "KeyBtn" + std::to_string(n));
            if (!node) {
                return nullptr;
            }
            auto* text = dynamic_cast<engine::ui::Text*>(node->getChildByName("Text"));
            if (text && text->getString() == label) {
                return node;
            }
        }
    }

    Node* keyTagged(int tag) const {
        const auto open = keyboards();
        return open.size() == 1 ? UITools::seekChildByTag(open[0], tag) : nullptr;
    }

    void type(const std::string& letters) {
        for (char letter : letters) {
            Node* node = key(std::string(1, letter));
            ASSERT_NE(node, nullptr) << letter;
            click(node);
            stepFrames(1);
        }
    }

    void clickNode(Node* node) {
        ASSERT_NE(node, nullptr);
        click(node);
        stepFrames(2);
    }

    // The text cursor: the one sprite placed on the scene itself.
    engine::Sprite* cursor() const {
        Node* running = engine::Director::getInstance()->getRunningScene();
        for (Node* child : running->getChildren()) {
            if (auto* sprite = dynamic_cast<engine::Sprite*>(child)) {
                return sprite;
            }
        }
        return nullptr;
    }

    // Where the cursor belongs after the field's shown text: its right end, halfway up the field.
    static engine::Vec2 fieldPoint(TextField* textField, float textWidth) {
        return textField->convertToWorldSpace(engine::Vec2(textWidth, textField->getContentSize().height * 0.5f));
    }

    void closeTip() {
        clickNode(findByName("Button1"));
        ASSERT_TRUE(waitFor([] { return !findByName("Content"); }));
    }

    void fillFields(const std::string& user, const std::string& password) {
        field("UserName")->setString(user);
        field("PassWord")->setString(password);
    }

    void clickLogin() { clickNode(findByName("Btn_Login")); }

    static bool courseSceneRuns() {
        return dynamic_cast<CourseScene*>(engine::Director::getInstance()->getRunningScene()) != nullptr;
    }

    static std::string baseData(const std::string& key) { return SqManager::getInstance()->getBaseData(key); }

    // The logo download runs beside the chain; a test that logs in waits for it before it ends.
    void waitForLogo() {
        ASSERT_TRUE(stepUntil([] { return baseData("InstitutionLogo") == "riverside_logo.png"; }));
    }

    std::vector<std::string> requestNames() const {
        std::vector<std::string> names;
        for (const auto& request : server.requests()) {
            names.push_back(request.name);
        }
        return names;
    }

    // A second server on a copy of the demo data, so that a test may edit the copy; the client talks to it.
    fs::path useEditableServer() {
        const fs::path data = fs::path(scratch.path()) / "server-data";
        fs::copy(courseware::CoursewareServer::defaultDataDir(), data, fs::copy_options::recursive);
        customServer = std::make_unique<courseware::CoursewareServer>(data);
        EXPECT_GT(customServer->start(), 0);
        HttpManager::getInstance()->baseUrl = customServer->baseUrl();
        return data;
    }

    static void writeText(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

    LoginScene* scene = nullptr;
    std::unique_ptr<courseware::CoursewareServer> customServer;
};

std::string institutionWithUi(const std::string& hash, const std::string& format) {
    return R"({ "institutions": [ { "id": 1, "name": "Riverside Primary", "logo": "/files/logo/riverside_logo.png",
        "ui": { "hash": ")" +
           hash + R"(", "format": ")" + format + R"(" } } ],
      "accounts": [ { "username": "teacher", "password": "1234", "institutionId": 1 } ] })";
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------
// Fields and keyboard

TEST_F(LoginSceneTest, KeysTypeIntoTheTouchedFieldWithOneKeyboardOpen) {
    TextField* user = field("UserName");
    TextField* password = field("PassWord");
    ASSERT_NE(user, nullptr);
    ASSERT_NE(password, nullptr);
    fillFields("", "");

    clickNode(user);
    ASSERT_EQ(keyboards().size(), 1u);
    ASSERT_NE(cursor(), nullptr);
    EXPECT_TRUE(cursor()->isVisible());
    EXPECT_NEAR(cursor()->getPositionX(), fieldPoint(user, 0).x, 0.5f);
    type("teacher");
    EXPECT_EQ(user->getString(), "teacher");
    const float afterName = cursor()->getPositionX();
    EXPECT_GT(afterName, fieldPoint(user, 0).x + 20.f);

    clickNode(password);
    EXPECT_EQ(keyboards().size(), 1u);
    type("1234");
    EXPECT_EQ(password->getString(), "1234");
    EXPECT_EQ(user->getString(), "teacher");
    // The cursor follows the masked text of the password field.
    EXPECT_GT(cursor()->getPositionX(), fieldPoint(password, 0).x + 10.f);
    EXPECT_NEAR(cursor()->getPositionY(), fieldPoint(password, 0).y, 0.5f);

    // The computer keyboard types into the attached field as well.
    TextField::dispatchTextInput("5");
    EXPECT_EQ(password->getString(), "12345");
    support::saveScreenshot("login_keyboard");
}

TEST_F(LoginSceneTest, DeleteRemovesWholeCharactersAndClearEmptiesTheField) {
    TextField* user = field("UserName");
    ASSERT_NE(user, nullptr);
    clickNode(user);
    user->setString("ab\xC3\xA9\xE7\x8F\xAD");
    Node* deleteKey = keyTagged(KeyBordLayer::Delete);
    Node* clearKey = keyTagged(KeyBordLayer::Clear);
    ASSERT_NE(deleteKey, nullptr);
    ASSERT_NE(clearKey, nullptr);

    clickNode(deleteKey);
    EXPECT_EQ(user->getString(), "ab\xC3\xA9");
    clickNode(deleteKey);
    EXPECT_EQ(user->getString(), "ab");

    clickNode(clearKey);
    EXPECT_EQ(user->getString(), "");
    EXPECT_NEAR(cursor()->getPositionX(), fieldPoint(user, 0).x, 0.5f);
    clickNode(deleteKey);
    EXPECT_EQ(user->getString(), "");
    EXPECT_NEAR(cursor()->getPositionX(), fieldPoint(user, 0).x, 0.5f);
}

TEST_F(LoginSceneTest, TouchOutsideClosesTheKeyboardAndTheFieldReopensIt) {
    TextField* user = field("UserName");
    ASSERT_NE(user, nullptr);
    clickNode(user);
    ASSERT_EQ(keyboards().size(), 1u);

    support::tapAt(engine::Vec2(1270, 10));
    stepFrames(2);
    EXPECT_TRUE(keyboards().empty());
    EXPECT_FALSE(cursor()->isVisible());

    clickNode(user);
    EXPECT_EQ(keyboards().size(), 1u);
    EXPECT_TRUE(cursor()->isVisible());
    type("ab");
    EXPECT_EQ(user->getString().substr(user->getString().size() - 2), "ab");
}

// ---------------------------------------------------------------------------------------------------------------
// Institution logo

TEST_F(LoginSceneTest, StoredLogoIsShownTwoHundredTwentyWide) {
    const std::string logo = resRoot() + "NetRes/riverside_logo.png";
    fs::copy_file(courseware::CoursewareServer::defaultDataDir() / "files/logo/riverside_logo.png", logo);
    SqManager::getInstance()->setBaseData("InstitutionLogo", "riverside_logo.png");
    enterLoginScene();
    auto* image = dynamic_cast<engine::ui::ImageView*>(findByName("Img_Logo"));
    ASSERT_NE(image, nullptr);
    // The logo is checked on the texture cache's worker.
    EXPECT_TRUE(waitFor([image, &logo] { return image->getTextureFile() == logo; }));
    EXPECT_TRUE(image->isVisible());
    EXPECT_EQ(image->getTextureFile(), logo);
    EXPECT_NEAR(image->getContentSize().width * image->getScaleX(), 220.f, 0.01f);
    EXPECT_FLOAT_EQ(image->getScaleX(), image->getScaleY());
    EXPECT_FLOAT_EQ(image->convertToWorldSpaceAR(engine::Vec2::ZERO).y, 710.f);
}

TEST_F(LoginSceneTest, UnreadableLogoKeepsTheLayoutPicture) {
    auto* before = dynamic_cast<engine::ui::ImageView*>(findByName("Img_Logo"));
    ASSERT_NE(before, nullptr);
    const std::string layoutFile = before->getTextureFile();
    const engine::Size layoutSize = before->getContentSize();

    int attempt = 0;
    for (const char* content : {"", "not a picture"}) {
        SCOPED_TRACE(content);
        ++attempt;
        writeText(resRoot() + "NetRes/broken.png", content);
        SqManager::getInstance()->setBaseData("InstitutionLogo", "broken.png");
        enterLoginScene();
        // The logo is checked on the texture cache's worker.
        EXPECT_TRUE(waitFor([&] { return countLogged("institution logo not loadable") >= attempt; }));
        auto* image = dynamic_cast<engine::ui::ImageView*>(findByName("Img_Logo"));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->getTextureFile(), layoutFile);
        EXPECT_EQ(image->getContentSize().width, layoutSize.width);
        EXPECT_FLOAT_EQ(image->getScaleX(), 1.f);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Login chain

TEST_F(LoginSceneTest, LoginFillsTheCatalogueAndOpensTheCourseScene) {
    GDataManager::getInstance()->courseTypes[9].typeName = "left from an earlier login";
    enterLoginScene();
    EXPECT_TRUE(GDataManager::getInstance()->courseTypes.empty());
    fillFields("teacher", "1234");
    support::saveScreenshot("login");
    server.clearRecords();
    clickLogin();
    ASSERT_TRUE(waitFor(courseSceneRuns));

    EXPECT_EQ(requestNames(), (std::vector<std::string>{"login", "getCourseIcon", "getCoursePermission", "getUI"}));
    const auto logins = requestsNamed("login");
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0].field("username"), "teacher");
    EXPECT_EQ(logins[0].field("password"), "1234");
    const std::string token = HttpManager::getInstance()->token;
    EXPECT_FALSE(token.empty());
    EXPECT_EQ(requestsNamed("getUI")[0].token, token);
    EXPECT_EQ(requestsNamed("getUI")[0].field("institutionId"), "1");
    EXPECT_EQ(requestsNamed("getCourseIcon")[0].field("appId"), "9");
    EXPECT_EQ(GDataManager::getInstance()->institutionId, 1);
    EXPECT_EQ(baseData("InstitutionId"), "1");

    const auto& types = GDataManager::getInstance()->courseTypes;
    ASSERT_EQ(types.size(), 5u);
    EXPECT_EQ(types.at(1).typeName, "Classroom Lessons");
    EXPECT_EQ(types.at(1).enabled, 1);
    EXPECT_EQ(types.at(5).enabled, 0);
    const SubjectRecord& maths = types.at(1).subjects.at(1);
    EXPECT_EQ(maths.subjectName, "Mathematics");
    EXPECT_EQ(maths.playMode, 1);
    ASSERT_EQ(maths.grades.size(), 3u);
    EXPECT_EQ(maths.grades.at(1).gradeName, "Grade 1");
    ASSERT_EQ(maths.grades.at(1).phases.size(), 3u);
    EXPECT_EQ(maths.grades.at(1).phases.at(3).enabled, 0);
    EXPECT_EQ(maths.grades.at(1).phases.at(2).phaseName, "Term 2");
    EXPECT_EQ(types.at(1).subjects.at(3).enabled, 0);
    EXPECT_TRUE(types.at(3).subjects.at(5).grades.empty());
    EXPECT_EQ(types.at(4).subjects.at(6).playMode, 4);

    // Icons are fetched once each and the catalogue names the local copies.
    const std::string icons = resRoot() + "CourseIcons/";
    EXPECT_EQ(types.at(1).iconNormal, icons + "type1_normal.png");
    EXPECT_EQ(maths.iconLocked, icons + "subject1_locked.png");
    for (const auto& [code, courseType] : types) {
        for (const std::string* icon : {&courseType.iconNormal, &courseType.iconSelected, &courseType.iconLocked}) {
            EXPECT_TRUE(fs::is_regular_file(*icon)) << *icon;
        }
    }

    // The interface pack is unpacked into "LocalRes/"; only then is its hash kept.
    ASSERT_TRUE(waitFor([&] { return !fs::exists(resRoot() + "LocalRes/ui20240901.zip"); }));
    EXPECT_TRUE(fs::is_regular_file(resRoot() + "LocalRes/DrawBoard/DrawBoard_Color0.png"));
    EXPECT_EQ(baseData("InsUIHash"), "ui20240901");
    const auto paths = engine::FileUtils::getInstance()->getSearchPaths();
    EXPECT_NE(std::find(paths.begin(), paths.end(), resRoot() + "HeadImgs/"), paths.end());
    EXPECT_NE(std::find(paths.begin(), paths.end(), resRoot() + "NetRes/"), paths.end());
    waitForLogo();
}

TEST_F(LoginSceneTest, WrongPasswordShowsTheServerMessageAndTheScreenStaysUsable) {
    fillFields("teacher", "4321");
    clickLogin();
    ASSERT_TRUE(waitFor([&] { return !tipText().empty(); }));
    EXPECT_EQ(tipText(), "Wrong account or password.");
    EXPECT_EQ(engine::Director::getInstance()->getRunningScene(), scene);
    EXPECT_TRUE(requestsNamed("getCourseIcon").empty());

    closeTip();
    fillFields("teacher", "1234");
    clickLogin();
    ASSERT_TRUE(waitFor(courseSceneRuns));
    EXPECT_EQ(requestsNamed("login").size(), 2u);
    waitForLogo();
}

TEST_F(LoginSceneTest, ServerDownShowsTheConnectionTipAndLoginMayBeTriedAgain) {
    HttpManager::getInstance()->baseUrl = closedBaseUrl();
    fillFields("teacher", "1234");
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE(attempt);
        clickLogin();
        ASSERT_TRUE(waitFor([&] { return !tipText().empty(); }));
        EXPECT_EQ(tipText(), PlistManager::getInstance()->getText("HttpStr1"));
        EXPECT_EQ(countLogged("error buffer: "), attempt);
        EXPECT_EQ(engine::Director::getInstance()->getRunningScene(), scene);
        closeTip();
    }
}

TEST_F(LoginSceneTest, LoginStartsOneChainAtATime) {
    fillFields("teacher", "1234");
    Node* button = findByName("Btn_Login");
    ASSERT_NE(button, nullptr);
    click(button);
    click(button);
    ASSERT_TRUE(waitFor([] { return HttpManager::getInstance()->getLoadingPanel() != nullptr; }));
    // Only the loading panel covers the button; the handler itself ignores a second start.
    scene->onLoginClicked(nullptr);
    ASSERT_TRUE(stepUntil(courseSceneRuns));
    EXPECT_EQ(requestsNamed("login").size(), 1u);
    EXPECT_EQ(requestsNamed("getUI").size(), 1u);
    waitForLogo();
}

TEST_F(LoginSceneTest, AnotherReplyTakingThePanelDownStartsNoSecondChain) {
    fillFields("teacher", "1234");
    scene->onLoginClicked(nullptr);
    // The version check's reply, say, removes the shared loading panel while "login" is still out.
    HttpManager::getInstance()->removeLoading();
    scene->onLoginClicked(nullptr);
    ASSERT_TRUE(waitFor(courseSceneRuns));
    EXPECT_EQ(requestsNamed("login").size(), 1u);
    EXPECT_EQ(requestsNamed("getUI").size(), 1u);
    waitForLogo();
}

TEST_F(LoginSceneTest, UnchangedPackHashFinishesWithoutDownload) {
    SqManager::getInstance()->setBaseData("InsUIHash", "ui20240901");
    fillFields("teacher", "1234");
    clickLogin();
    ASSERT_TRUE(waitFor(courseSceneRuns));
    EXPECT_FALSE(fs::exists(resRoot() + "LocalRes/ui20240901.zip"));
    EXPECT_FALSE(fs::exists(resRoot() + "LocalRes/DrawBoard"));
    EXPECT_EQ(baseData("InsUIHash"), "ui20240901");
    waitForLogo();
}

TEST_F(LoginSceneTest, PackThatDidNotArriveKeepsTheStoredHash) {
    const fs::path data = useEditableServer();
    writeText(data / "institution.json", institutionWithUi("/files/missing/ui20250101.zip", "zip"));
    SqManager::getInstance()->setBaseData("InsUIHash", "ui20240901");
    fillFields("teacher", "1234");
    clickLogin();
    ASSERT_TRUE(waitFor(courseSceneRuns));
    EXPECT_EQ(baseData("InsUIHash"), "ui20240901");
    EXPECT_TRUE(logged("interface pack not loaded"));
    waitForLogo();
}

TEST_F(LoginSceneTest, PackThatCannotBeUnpackedKeepsTheStoredHash) {
    const fs::path data = useEditableServer();
    writeText(data / "files/ui/ui20250101.zip", "PK\x03\x04 cut short");
    writeText(data / "institution.json", institutionWithUi("/files/ui/ui20250101.zip", "zip"));
    SqManager::getInstance()->setBaseData("InsUIHash", "ui20240901");
    fillFields("teacher", "1234");
    clickLogin();
    ASSERT_TRUE(waitFor(courseSceneRuns));
    const std::string zip = resRoot() + "LocalRes/ui20250101.zip";
    ASSERT_TRUE(waitFor([&] { return logged("interface pack not extracted: " + zip); }));
    EXPECT_EQ(baseData("InsUIHash"), "ui20240901");
    EXPECT_FALSE(fs::exists(zip));
    waitForLogo();
}

TEST_F(LoginSceneTest, PackFormatIsUsedInAFileNameOnlyWhenShortLettersOrDigits) {
    EXPECT_TRUE(LoginScene::isSafePackFormat("zip"));
    EXPECT_TRUE(LoginScene::isSafePackFormat("Zip7abcd"));
    for (const char* format : {"", "zip123456", "z.ip", "../x", "zip/", "z ip", "zi\xC3\xA9"}) {
        EXPECT_FALSE(LoginScene::isSafePackFormat(format)) << format;
    }

    const fs::path data = useEditableServer();
    writeText(data / "institution.json", institutionWithUi("/files/ui/ui20240901.zip", "zip/../../../escaped"));
    fillFields("teacher", "1234");
    clickLogin();
    ASSERT_TRUE(waitFor(courseSceneRuns));
    EXPECT_EQ(baseData("InsUIHash"), "");
    EXPECT_FALSE(fs::exists(resRoot() + "LocalRes"));
    for (const auto& entry : fs::recursive_directory_iterator(scratch.path())) {
        EXPECT_EQ(entry.path().string().find("escaped"), std::string::npos) << entry.path();
    }
    waitForLogo();
}

TEST_F(LoginSceneTest, RepliesOfTheWrongShapeReadAsEmpty) {
    const fs::path data = useEditableServer();
    writeText(data / "courseIcons.json", R"({ "typeList": [ 7, { "typeCode": 1, "typeName": "Only",
        "iconNormal": "/files/icons/", "iconSelected": 5, "iconLocked": "/files/icons/type1_locked.png" } ],
        "subjectList": "none" })");
    writeText(data / "permissions.json",
              R"([ "x", { "typeCode": 1, "enabled": 1, "children": { "subjectCode": 1 } },
                   { "typeCode": 8, "enabled": 1, "children": [ { "subjectCode": 2, "enabled": 1 } ] } ])");
    fillFields("teacher", "1234");
    clickLogin();
    ASSERT_TRUE(waitFor(courseSceneRuns));

    const auto& types = GDataManager::getInstance()->courseTypes;
    ASSERT_EQ(types.size(), 1u);
    const CourseTypeRecord& only = types.at(1);
    EXPECT_EQ(only.typeName, "Only");
    EXPECT_EQ(only.enabled, 1);
    EXPECT_TRUE(only.subjects.empty());
    // An address without a file name, or no text at all, is left as it is; the other icon is fetched.
    EXPECT_EQ(only.iconNormal, customServer->origin() + "/files/icons/");
    EXPECT_EQ(only.iconSelected, "");
    EXPECT_EQ(only.iconLocked, resRoot() + "CourseIcons/type1_locked.png");
    EXPECT_TRUE(fs::is_regular_file(only.iconLocked));
    waitForLogo();
}

TEST_F(LoginSceneTest, LargeIconsOnDiskAreCheckedAsTheyAreAndKeptAtTheSizeTheyAreDrawn) {
    // Every icon of the catalogue already on disk at 1024 x 1024.
    const std::string icons = resRoot() + "CourseIcons/";
    fs::create_directories(icons);
    SDL_Surface* large = SDL_CreateRGBSurfaceWithFormat(0, 1024, 1024, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(large, nullptr, 0xFF2080C0);
    for (const auto& entry : fs::directory_iterator(std::string(TEST_SOURCE_DIR) + "/server/data/files/icons")) {
        ASSERT_EQ(IMG_SavePNG(large, (icons + entry.path().filename().string()).c_str()), 0);
    }
    SDL_FreeSurface(large);
    fillFields("teacher", "1234");
    clickLogin();
    ASSERT_TRUE(waitFor(courseSceneRuns));

    EXPECT_EQ(countLogged("onTaskError"), 0);
    size_t shown = 0;
    for (const auto& [code, courseType] : GDataManager::getInstance()->courseTypes) {
        if (engine::Texture2D* texture =
                engine::Director::getInstance()->getTextureCache()->getTextureForKey(courseType.iconNormal)) {
            ++shown;
            EXPECT_LE(std::max(texture->getPixelsWide(), texture->getPixelsHigh()),
                      engine::limits::kSmallPictureKeptSide) << courseType.iconNormal;
        }
    }
    EXPECT_GT(shown, 0u);
    waitForLogo();
}

TEST_F(LoginSceneTest, IconsThatAreNoPictureAreRemovedAndFetchedAgain) {
    const fs::path data = useEditableServer();
    const std::string good = engine::FileUtils::getInstance()->getStringFromFile(data / "courseIcons.json");
    const std::string icons = resRoot() + "CourseIcons/";
    // Course type 1's icons claim 30000x30000 in PNG and SVG, or are an HTML page, type 3's cost minutes to decode;
    // the next login finds them good, and type 2's normal icon on disk no picture.
    const std::pair<std::string, std::string> faults[] = {
        {"hugepng", "type1_normal"},  {"hugesvg", "type1_selected"},    {"notpicture", "type1_locked"},
        {"scanjpeg", "type3_normal"}, {"surpluspng", "type3_selected"}, {"", "type2_normal"}};
    std::string broken = good;
    for (const auto& [fault, icon] : faults) {
        const std::string file = "\"/files/icons/" + icon;
        if (!fault.empty()) {
            broken.replace(broken.find(file), file.size(),
                           "\"" + customServer->origin() + "/fault/" + fault + file.substr(1));
        }
    }
    for (bool fixed : {false, true}) {
        writeText(data / "courseIcons.json", fixed ? good : broken);
        enterLoginScene();
        fillFields("teacher", "1234");
        clickLogin();
        ASSERT_TRUE(waitFor(courseSceneRuns));
        waitForLogo();
        for (const auto& [fault, icon] : faults) {
            std::string start(4, '\0');
            std::ifstream file(icons + icon + ".png");
            EXPECT_EQ(file.read(start.data(), 4) ? start : "", fixed || fault.empty() ? "\x89PNG" : "") << icon;
        }
        engine::Director::getInstance()->getTextureCache()->removeTextureForKey(icons + "type2_normal.png");
        writeText(icons + "type2_normal.png", "<html>");
    }
    EXPECT_TRUE(logged("picture of 30000x30000 is larger than 1024x1024: " + icons + "type1_normal.png"));
}

TEST_F(LoginSceneTest, APackLayoutOrPictureThatCannotBeUsedGivesWayToTheProgramsOwn) {
    // An unpacked interface pack with a login layout nested too deep and login pictures claiming 30000x30000.
    const std::string pack = resRoot() + "LocalRes/";
    fs::create_directories(pack + "LoginScene");
    fs::create_directories(pack + "Common");
    writeText(pack + "LoginScene.csb", std::string(100000, '[') + std::string(100000, ']'));
    writeText(pack + "LoginScene/FieldBox.png", courseware::FaultPictures::hugePng());
    writeText(pack + "Common/ClientBg9.png", courseware::FaultPictures::hugeSvg());
    engine::FileUtils::getInstance()->addSearchPath(pack, true);
    enterLoginScene();
    EXPECT_TRUE(logged("/Layouts/LoginScene.csb used instead of " + pack + "LoginScene.csb"));
    EXPECT_TRUE(logged("picture of 30000x30000 is larger than 4096x4096: " + pack + "LoginScene/FieldBox.png"));
    auto* box = dynamic_cast<engine::ui::ImageView*>(findByName("Img_Box"));
    ASSERT_NE(box, nullptr);
    EXPECT_GT(box->getVirtualRendererSize().width, 0.f) << "the program's own field box";
    // The same on the worker thread, which animations, the pair game and the topic screen use.
    std::string loaded = "none";
    engine::Director::getInstance()->getTextureCache()->addImageAsync(
        "Common/ClientBg9.png", [&loaded](engine::Texture2D* texture) { loaded = texture ? texture->getPath() : ""; });
    ASSERT_TRUE(waitFor([&loaded] { return loaded != "none"; }));
    EXPECT_EQ(loaded, engine::FileUtils::getInstance()->fullPathsForFilename("Common/ClientBg9.png").back());
    support::saveScreenshot("login_broken_pack");
    fillFields("teacher", "1234");
    clickLogin();
    ASSERT_TRUE(waitFor(courseSceneRuns));
    waitForLogo();

    // A pack layout that loads but is a bare window-sized node has no fields and no button.
    writeText(pack + "LoginScene.csb",
              R"({"format":"classroom-layout","version":1,"root":{"kind":"Node","size":[1280,720]}})");
    enterLoginScene();
    EXPECT_TRUE(logged(pack + "LoginScene.csb has no node \"UserName\""));
    EXPECT_NE(field("PassWord"), nullptr);
    EXPECT_NE(findByName("Btn_Login"), nullptr);
}

TEST_F(LoginSceneTest, TallWindowKeepsTheEdgesAndTheKeyboardPanelInPlace) {
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    enterLoginScene();
    const auto top = [](const std::string& name) {
        Node* node = findByName(name);
        return node ? node->convertToWorldSpaceAR(engine::Vec2::ZERO) : engine::Vec2(-1, -1);
    };
    EXPECT_EQ(top("Btn_Exit"), engine::Vec2(1280, 960));
    EXPECT_FLOAT_EQ(top("Img_Logo").y, 950.f);
    EXPECT_FLOAT_EQ(top("Text_Version").y, 10.f);
    clickNode(field("UserName"));
    ASSERT_EQ(keyboards().size(), 1u);
    type("ab");
    EXPECT_EQ(field("UserName")->getString().substr(field("UserName")->getString().size() - 2), "ab");
    EXPECT_NEAR(cursor()->getPositionY(), fieldPoint(field("UserName"), 0).y, 0.5f);
    support::saveScreenshot("login_keyboard_tall");
    // A touch low on the window still lies on the keyboard's closing panel.
    support::tapAt(engine::Vec2(1270, 10));
    stepFrames(2);
    EXPECT_TRUE(keyboards().empty());
}
