// The layouts of the navigation screens (login, course, subject, grade and class choice, courseware management):
// the widgets their scenes look up, and screens that fit the window at 16:9 and on a taller window, where the
// layout offset is not zero.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/GDataManager.h"
#include "common/KeyBordLayer.h"
#include "common/PlistManager.h"
#include "common/UITools.h"
#include "layout/CSLoader.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"
#include "support/PackResources.h"
#include "support/WidgetKind.h"
#include "ui/Button.h"
#include "ui/Layout.h"
#include "ui/LoadingBar.h"
#include "ui/Text.h"
#include "ui/TextField.h"

using namespace engine;

namespace {

const char* const kFiles[] = {"LoginScene.csb", "CourseScene.csb",   "SubjectScene.csb", "GradeScene.csb",
                              "ClassScene.csb", "ResourceScene.csb", "ManageScene.csb"};

using Kind = support::WidgetKind;
using support::isKind;

// A widget a scene looks up. parent: "" anywhere below the root, "/" a direct child of the root, else the name of
// its direct parent (the first node of that name).
struct Expected {
    std::string file;
    std::string name;
    Kind kind;
    std::string parent;
};

int perloadCount(const std::string& kind) {
    return static_cast<int>(PlistManager::getInstance()->getValueVector("Perload.plist", kind).size());
}

std::vector<Expected> expectedWidgets() {
    std::vector<Expected> all;
    auto add = [&all](const char* file, const std::string& name, Kind kind, const std::string& parent = "") {
        all.push_back({file, name, kind, parent});
    };
    const std::string client = "Panel_Client" + PlistManager::getInstance()->getString("Configs.plist", "ClientId");
    add("LoginScene.csb", client, Kind::Panel, "/");
    add("LoginScene.csb", "UserName", Kind::TextField, client);
    add("LoginScene.csb", "PassWord", Kind::TextField, client);
    add("LoginScene.csb", "Btn_Login", Kind::Button, client);
    add("LoginScene.csb", "Btn_Exit", Kind::Button, client);
    add("LoginScene.csb", "Text_Version", Kind::Text, client);
    add("LoginScene.csb", "Img_Logo", Kind::ImageView, client);
    for (int n = 1; n <= perloadCount("Login"); ++n) {
        add("LoginScene.csb", "AniPos" + std::to_string(n), Kind::Node, client);
    }

    for (const char* file : {"CourseScene.csb", "SubjectScene.csb"}) {
        add(file, "Panel_Layout", Kind::Panel);
        add(file, "Btn_Return", Kind::Button);
        add(file, "Btn_Preview", Kind::Button);
        add(file, "Btn_Next", Kind::Button);
        add(file, "Img_Bg9", Kind::ImageView);
    }
    add("SubjectScene.csb", "Img_Title", Kind::ImageView, "/");
    add("SubjectScene.csb", "Text_Title", Kind::Text);

    add("GradeScene.csb", "Btn_Return", Kind::Button);
    add("GradeScene.csb", "ResManageBtn", Kind::Button);
    for (int grade : {1, 2, 3, 5, 6}) {
        add("GradeScene.csb", "Btn_Grade" + std::to_string(grade), Kind::Button);
    }
    for (int n = 1; n <= perloadCount("Grade"); ++n) {
        add("GradeScene.csb", "AniPos" + std::to_string(n), Kind::Node);
    }

    for (const char* name : {"Btn_Return", "BtnUp", "BtnDown", "BtnLeft", "BtnRight"}) {
        add("ClassScene.csb", name, Kind::Button);
    }
    add("ClassScene.csb", "ListPageText", Kind::Text);
    add("ClassScene.csb", "PageText", Kind::Text);
    for (int n = 1; n <= 4; ++n) {
        const std::string school = "SchoolBtn" + std::to_string(n), card = "ClassImg" + std::to_string(n);
        add("ClassScene.csb", school, Kind::Button);
        add("ClassScene.csb", "TitleText", Kind::Text, school);
        add("ClassScene.csb", card, Kind::ImageView);
        add("ClassScene.csb", "ClassName", Kind::Text, card);
        add("ClassScene.csb", "SelectImg", Kind::ImageView, card);
    }

    for (const char* file : {"ResourceScene.csb", "ManageScene.csb"}) {
        add(file, "Btn_Return", Kind::Button, "/");
        add(file, "DownAllBtn", Kind::Button, "/");
    }
    for (int n = 1; n <= 5; ++n) {
        const std::string panel = "GradePanel" + std::to_string(n);
        add("ResourceScene.csb", panel, Kind::ImageView, "/");
        add("ResourceScene.csb", "LocalNum", Kind::Text, panel);
        add("ResourceScene.csb", "ServerNum", Kind::Text, panel);
        add("ResourceScene.csb", "Text", Kind::Text, panel);
        add("ResourceScene.csb", "ManageBtn", Kind::Button, panel);
        add("ResourceScene.csb", "DownloadBg", Kind::ImageView, panel);
    }
    for (const char* progress : {"Panel01", "Panel02", "Panel03", "Panel05", "Panel06"}) {
        add("ResourceScene.csb", progress, Kind::Node, "/");
        add("ResourceScene.csb", "LoadingBar", Kind::LoadingBar, progress);
        add("ResourceScene.csb", "Text", Kind::Text, progress);
    }
    add("ManageScene.csb", "TitleImg", Kind::ImageView, "/");
    for (int n = 1; n <= 4; ++n) {
        add("ManageScene.csb", "StageBtn" + std::to_string(n), Kind::Button, "/");
    }
    for (int n = 1; n <= 12; ++n) {
        const std::string row = "DownloadBg" + std::to_string(n);
        add("ManageScene.csb", row, Kind::ImageView);
        add("ManageScene.csb", "DeleteBtn" + std::to_string(n), Kind::Button);
        add("ManageScene.csb", "Image", Kind::ImageView, row);
        add("ManageScene.csb", "Text", Kind::Text, row);
        add("ManageScene.csb", "LoadingBar", Kind::LoadingBar, row);
    }
    return all;
}

Node* findExpected(Node* root, const Expected& widget) {
    if (widget.parent.empty()) {
        return support::findByName(widget.name, root);
    }
    Node* parent = widget.parent == "/" ? root : support::findByName(widget.parent, root);
    return parent ? parent->getChildByName(widget.name) : nullptr;
}

// The widget of that name and kind; a missing one ends the test (GoogleTest reports the exception).
template <class T = Node> T* find(Node* root, const std::string& name) {
    T* node = root ? dynamic_cast<T*>(support::findByName(name, root)) : nullptr;
    if (!node) {
        throw std::runtime_error("no " + name + " of the expected kind");
    }
    return node;
}

Rect worldBox(const Node* node) {
    const Size size = node->getContentSize();
    const Vec2 a = node->convertToWorldSpace(Vec2::ZERO);
    const Vec2 b = node->convertToWorldSpace(Vec2(size.width, size.height));
    return Rect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y));
}

// Boxes that share more than a pixel of area.
bool overlap(const Rect& a, const Rect& b) {
    const float w = std::min(a.getMaxX(), b.getMaxX()) - std::max(a.getMinX(), b.getMinX());
    const float h = std::min(a.getMaxY(), b.getMaxY()) - std::max(a.getMinY(), b.getMinY());
    return w > 1.f && h > 1.f;
}

bool inside(const Rect& inner, const Rect& outer) {
    constexpr float slack = 0.5f;
    return inner.getMinX() >= outer.getMinX() - slack && inner.getMaxX() <= outer.getMaxX() + slack &&
           inner.getMinY() >= outer.getMinY() - slack && inner.getMaxY() <= outer.getMaxY() + slack;
}

std::string describe(const Rect& r) {
    return StringUtils::format("(%.0f, %.0f)-(%.0f, %.0f)", r.getMinX(), r.getMinY(), r.getMaxX(), r.getMaxY());
}

void collect(Node* node, std::vector<Node*>& out) {
    out.push_back(node);
    for (Node* child : node->getChildren()) {
        collect(child, out);
    }
}

bool isAncestor(const Node* ancestor, const Node* node) {
    for (const Node* up = node->getParent(); up; up = up->getParent()) {
        if (up == ancestor) {
            return true;
        }
    }
    return false;
}

// What a teacher touches: buttons, fields and the class cards (made touchable by their scene).
bool isControl(Node* node) {
    return dynamic_cast<ui::Button*>(node) || dynamic_cast<ui::TextField*>(node) ||
           node->getName().rfind("ClassImg", 0) == 0;
}

struct Window {
    Size frame;
    const char* suffix;
};

void PrintTo(const Window& window, std::ostream* out) {
    *out << window.frame.width << "x" << window.frame.height;
}

const Window kWindows[] = {{Size(1280, 720), ""}, {Size(1280, 960), "_tall"}};

class NavigationLayouts : public ::testing::TestWithParam<Window> {
protected:
    void SetUp() override {
        // The content scale of the 1280x720 frame window.
        support::startHeadless(GetParam().frame, 0.8f);
        winSize = Director::getInstance()->getWinSize();
        offsetY = (winSize.height - 720.f) * 0.5f;
        GDataManager::getInstance()->screenOffsetY = offsetY;
        CSLoader::setStrictMode(true);
        setLogSink([this](const std::string& line) { log.push_back(line); });
    }

    void TearDown() override {
        setLogSink(nullptr);
        CSLoader::setStrictMode(false);
        GDataManager::getInstance()->screenOffsetY = 0.f;
        support::stopHeadless();
    }

    // The adapted layout with the moves its scene makes to keep nodes on the window.
    Node* load(const std::string& file) {
        log.clear();
        Node* root = UITools::createCsbNode(file);
        EXPECT_NE(root, nullptr) << file;
        for (const std::string& line : log) {
            ADD_FAILURE() << file << ": " << line;
        }
        if (!root) {
            return nullptr;
        }
        if (Node* version = support::findByName("Text_Version", root)) {
            version->setPositionY(version->getPositionY() - offsetY);
        }
        if (Node* title = support::findByName("Img_Title", root)) {
            title->setPositionY(winSize.height);
        }
        return root;
    }

    Rect window() const { return Rect(0, 0, winSize.width, winSize.height); }

    Size winSize;
    float offsetY = 0.f;
    std::vector<std::string> log;
    support::PackResources pack;
};

// A full page of course or subject buttons in "Panel_Layout", placed as their scenes place them; other screens
// have none.
std::vector<ui::Button*> fillGrid(Node* root, const std::string& file) {
    std::vector<ui::Button*> buttons;
    const bool course = file == "CourseScene.csb";
    if (!course && file != "SubjectScene.csb") {
        return buttons;
    }
    auto* panel = find<ui::Layout>(root, "Panel_Layout");
    const Size size = panel->getContentSize();
    for (int j = 0; j < (course ? 4 : 6); ++j) {
        ui::Button* button = find<ui::Button>(UITools::createCsbNode("CourseBtn.csb"), "Btn_Course");
        panel->addChild(button->getParent());
        if (course) {
            button->setPosition(Vec2(size.width * 0.125f * (2 * j + 1), size.height * 0.5f));
        } else {
            const int column = j % 3, row = j / 3;
            button->setPosition(
                Vec2((2 * column + 1) * (size.width / 6.f), size.height - (2 * row + 1) * size.height * 0.25f));
        }
        buttons.push_back(button);
    }
    return buttons;
}

// The first frame of each animation of the kind at its "AniPos%d" node, as the scene's player shows it.
void showAnimations(Node* root, const std::string& kind) {
    int n = 0;
    for (const Value& entry : PlistManager::getInstance()->getValueVector("Perload.plist", kind)) {
        const std::string name = entry.asString();
        Node* position = find(root, "AniPos" + std::to_string(++n));
        Sprite* frame = Sprite::create(name + "/" + name + "1.png");
        ASSERT_NE(frame, nullptr) << name;
        frame->setPosition(position->getPosition());
        position->getParent()->addChild(frame, 105);
    }
}

// Fills the screens with catalogue-like content, as their scenes show them.
void dress(Node* root, const std::string& file) {
    if (file == "LoginScene.csb") {
        showAnimations(root, "Login");
    } else if (file == "CourseScene.csb" || file == "SubjectScene.csb") {
        UITools::showClientBackground(root);
        int n = 0;
        for (ui::Button* button : fillGrid(root, file)) {
            button->setTitleText(StringUtils::format("Item %d", ++n));
            button->setTitleColor(Color3B(51, 65, 78));
        }
        for (const char* name : {"Btn_Preview", "Btn_Next"}) {
            find(root, name)->setVisible(true);
        }
        if (file == "SubjectScene.csb") {
            find<ui::Text>(root, "Text_Title")->setString("Classroom Lessons");
        }
    } else if (file == "GradeScene.csb") {
        showAnimations(root, "Grade");
        for (int grade : {1, 2, 5}) {
            find<ui::Widget>(root, "Btn_Grade" + std::to_string(grade))->setBright(true);
        }
    } else if (file == "ClassScene.csb") {
        const char* schools[] = {"Riverside Main", "Hillside", "Lakeside", "Parkside"};
        const char* classes[] = {"Class 1A", "Class 1B", "Class 1C", "Class 1D"};
        for (int n = 1; n <= 4; ++n) {
            Node* school = find(root, "SchoolBtn" + std::to_string(n));
            find<ui::Text>(school, "TitleText")->setString(schools[n - 1]);
            Node* card = find(root, "ClassImg" + std::to_string(n));
            card->setVisible(true);
            find<ui::Text>(card, "ClassName")->setString(classes[n - 1]);
        }
        find<ui::Widget>(root, "SchoolBtn1")->setHighlighted(true);
        find<ui::Text>(find(root, "SchoolBtn1"), "TitleText")->setTextColor(Color4B(0xf9, 0x4f, 0x0d, 255));
        find<ui::Text>(root, "ListPageText")->setString("1/2");
        find<ui::Text>(root, "PageText")->setString("1/2");
    } else if (file == "ResourceScene.csb") {
        for (int n : {1, 2, 4}) {
            Node* panel = find(root, "GradePanel" + std::to_string(n));
            panel->setVisible(true);
            find<ui::Text>(panel, "ServerNum")->setString("12");
        }
        Node* progress = find(root, "Panel01");
        progress->setVisible(true);
        find<ui::LoadingBar>(progress, "LoadingBar")->setPercent(40.f);
        find<ui::Text>(progress, "Text")->setString("Downloading");
    } else if (file == "ManageScene.csb") {
        for (int n = 1; n <= 12; ++n) {
            Node* row = find(root, "DownloadBg" + std::to_string(n));
            find<ui::Text>(row, "Text")->setString(StringUtils::format("%d. Lecture name", n));
            find<ui::LoadingBar>(row, "LoadingBar")->setPercent(n % 3 ? 100.f : 0.f);
        }
    }
}

} // namespace

TEST_P(NavigationLayouts, HoldTheWidgetsTheirScenesSeek) {
    std::map<std::string, Node*> roots;
    for (const char* file : kFiles) {
        roots[file] = load(file);
    }
    for (const Expected& widget : expectedWidgets()) {
        Node* root = roots[widget.file];
        if (!root) {
            continue;
        }
        Node* node = findExpected(root, widget);
        EXPECT_NE(node, nullptr) << widget.file << ": no " << widget.name
                                 << (widget.parent.empty() ? "" : " below " + widget.parent);
        if (node) {
            EXPECT_TRUE(isKind(node, widget.kind)) << widget.file << ": " << widget.name << " has the wrong kind";
        }
    }
}

TEST_P(NavigationLayouts, CarryTheStatesTheirScenesRelyOn) {
    Node* login = load("LoginScene.csb");
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(find<ui::TextField>(login, "PassWord")->isPasswordEnabled());
    EXPECT_FALSE(find<ui::TextField>(login, "UserName")->isPasswordEnabled());
    // Placed at the window's top-right corner by its scene.
    EXPECT_EQ(find<ui::Button>(login, "Btn_Exit")->getAnchorPoint(), Vec2(1, 1));

    for (const char* file : {"CourseScene.csb", "SubjectScene.csb"}) {
        SCOPED_TRACE(file);
        Node* root = load(file);
        ASSERT_NE(root, nullptr);
        Node* background = find(root, "Img_Bg9");
        EXPECT_FALSE(background->isVisible());
        UITools::showClientBackground(root);
        EXPECT_TRUE(background->isVisible()) << "the client background must carry the configured client id";
        // Shown by their scenes only when there is more than one page.
        EXPECT_FALSE(find(root, "Btn_Preview")->isVisible());
        EXPECT_FALSE(find(root, "Btn_Next")->isVisible());
    }

    Node* classes = load("ClassScene.csb");
    ASSERT_NE(classes, nullptr);
    for (int n = 1; n <= 4; ++n) {
        Node* card = find(classes, "ClassImg" + std::to_string(n));
        EXPECT_FALSE(find(card, "SelectImg")->isVisible()) << n;
    }
}

// Hidden widgets count too (their scenes show them), and so do course and subject buttons placed as their scenes
// place them, at the size "CourseBtn.csb" gives them.
TEST_P(NavigationLayouts, FitTheWindowWithoutOverlaps) {
    for (const char* file : kFiles) {
        Node* root = load(file);
        ASSERT_NE(root, nullptr) << file;
        fillGrid(root, file);
        std::vector<Node*> nodes, solids;
        collect(root, nodes);
        for (Node* node : nodes) {
            if (node == root || node->getName() == "Img_Bg9") {
                continue; // the client background is taller than the window on purpose
            }
            if (dynamic_cast<ui::Widget*>(node)) {
                EXPECT_TRUE(inside(worldBox(node), window()))
                    << file << ": " << node->getName() << " at " << describe(worldBox(node));
            } else {
                EXPECT_TRUE(window().containsPoint(node->convertToWorldSpace(Vec2::ZERO)))
                    << file << ": " << node->getName();
            }
            auto* parent = dynamic_cast<ui::Widget*>(node->getParent());
            if (dynamic_cast<ui::Text*>(node) && parent && !dynamic_cast<ui::Layout*>(parent)) {
                EXPECT_TRUE(inside(worldBox(node), worldBox(parent)))
                    << file << ": " << node->getName() << " sticks out of " << parent->getName();
            }
            if (isControl(node) || node->getName() == "Img_Title" || node->getName() == "Img_Heading") {
                solids.push_back(node);
            }
        }
        EXPECT_GE(solids.size(), 4u) << file;
        for (size_t i = 0; i < solids.size(); ++i) {
            for (size_t j = i + 1; j < solids.size(); ++j) {
                Node *a = solids[i], *b = solids[j];
                EXPECT_TRUE(isAncestor(a, b) || isAncestor(b, a) || !overlap(worldBox(a), worldBox(b)))
                    << file << ": " << a->getName() << " " << describe(worldBox(a)) << " overlaps " << b->getName()
                    << " " << describe(worldBox(b));
            }
        }
    }
}

// The scene opens the keyboard over the left of the screen, below the fields and buttons in drawing order.
TEST_P(NavigationLayouts, LeaveTheLoginCardClearOfTheKeyboard) {
    Node* root = load("LoginScene.csb");
    ASSERT_NE(root, nullptr);
    Node* client = find(root, "Panel_Client9");
    KeyBordLayer* keyboard = KeyBordLayer::create(true);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_NE(keyboard->bgImg, nullptr);
    keyboard->bgImg->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    keyboard->bgImg->setPosition(Vec2(winSize.width / 3, winSize.height / 3 + offsetY));
    client->addChild(keyboard, 99);
    for (const char* name : {"UserName", "PassWord", "Btn_Login", "Btn_Exit"}) {
        find(client, name)->setLocalZOrder(100);
    }
    const Rect body = worldBox(keyboard->bgImg);
    for (const char* name : {"UserName", "PassWord", "Btn_Login", "Img_Card"}) {
        EXPECT_FALSE(overlap(worldBox(find(client, name)), body)) << name;
    }

    Scene* scene = Scene::create();
    scene->addChild(root);
    support::runScene(scene);
    EXPECT_FALSE(support::saveScreenshot(std::string("layout_LoginScene_keyboard") + GetParam().suffix).empty());
}

// Saved for people to look at; the background must reach every corner of the window.
TEST_P(NavigationLayouts, RenderAsTheirScenesShowThem) {
    for (const char* file : kFiles) {
        Node* root = load(file);
        ASSERT_NE(root, nullptr) << file;
        dress(root, file);
        Scene* scene = Scene::create();
        scene->addChild(root);
        support::runScene(scene);
        std::string name = file;
        name = "layout_" + name.substr(0, name.find('.')) + GetParam().suffix;
        EXPECT_FALSE(support::saveScreenshot(name).empty()) << name;
        const int w = static_cast<int>(GetParam().frame.width) - 1, h = static_cast<int>(GetParam().frame.height) - 1;
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{w, 0}, std::pair{0, h}, std::pair{w, h}}) {
            const Color4B pixel = support::readPixel(x, y);
            EXPECT_GT(pixel.r + pixel.g + pixel.b, 60) << name << ": corner " << x << "," << y << " is not covered";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, NavigationLayouts, ::testing::ValuesIn(kWindows),
                         [](const ::testing::TestParamInfo<Window>& info) {
                             return StringUtils::format("Height%.0f", info.param.frame.height);
                         });
