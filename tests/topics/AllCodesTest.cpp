// Every layout code of the demo topic lectures, opened in the lesson player: the type layer is the one the
// LayoutModel table names, and one contact sheet per type shows all its pages.
#include <gtest/gtest.h>

#include <cxxabi.h>

#include <cstdlib>
#include <map>
#include <typeinfo>

#include "TopicFixture.h"
#include "topics/TopicTypeTable.h"

using namespace topics_test;

namespace {

// The class name of a type layer, "" for none.
std::string typeOf(Node* layer) {
    if (!layer) {
        return "";
    }
    char* name = abi::__cxa_demangle(typeid(*layer).name(), nullptr, nullptr, nullptr);
    const std::string type = name ? name : "";
    std::free(name);
    return type;
}

// Screenshots laid out five to a row at a quarter of their size.
class ContactSheet {
public:
    void add(const std::string& path) {
        if (SDL_Surface* shot = IMG_Load(path.c_str())) {
            shots.push_back(shot);
        }
    }
    void save(const std::string& name) {
        const int columns = 5, w = 320, h = 180, gap = 6;
        const int rows = (static_cast<int>(shots.size()) + columns - 1) / columns;
        SDL_Surface* sheet = SDL_CreateRGBSurfaceWithFormat(0, columns * (w + gap) + gap, rows * (h + gap) + gap, 32,
                                                            SDL_PIXELFORMAT_RGBA32);
        SDL_FillRect(sheet, nullptr, SDL_MapRGBA(sheet->format, 60, 60, 60, 255));
        for (size_t i = 0; i < shots.size(); ++i) {
            SDL_Rect to{gap + static_cast<int>(i % columns) * (w + gap),
                        gap + static_cast<int>(i / columns) * (h + gap), w, h};
            SDL_BlitScaled(shots[i], nullptr, sheet, &to);
            SDL_FreeSurface(shots[i]);
        }
        IMG_SavePNG(sheet, (std::string(TEST_SCREENSHOT_DIR) + "/" + name + ".png").c_str());
        SDL_FreeSurface(sheet);
        shots.clear();
    }

private:
    std::vector<SDL_Surface*> shots;
};

class AllTopicCodes : public TopicTest {};

} // namespace

TEST_F(AllTopicCodes, EveryDemoCodeOpensTheTypeItsTableNames) {
    const std::vector<std::string> lectures = support::demoLectures();
    const int navs[] = {NavTopics1, NavTopics2, NavTopics3};
    std::map<std::string, ContactSheet> sheets;
    int opened = 0;
    for (const std::string& identify : lectures) {
        LogicTopicScene* lesson = openLesson(identify);
        for (int nav : navs) {
            lesson->selectNav(nav);
            support::stepFrames(1);
            auto* host = dynamic_cast<TopicLayer*>(lesson->getContentLayer());
            ASSERT_NE(host, nullptr) << identify << " nav " << nav;
            for (int i = 0; i < manage()->getTopicCount(); ++i) {
                host->selectTopic(i);
                support::stepFrames(1);
                const int code = manage()->getLayoutModel();
                const std::string type = TopicTypeTable::typeName(code);
                ASSERT_FALSE(type.empty()) << code;
                const std::string made = typeOf(host->getTypeLayer());
                // Types still to come make no layer; every other code makes exactly its table's type.
                EXPECT_TRUE(made == type || made.empty()) << code << " made " << made;
                if (!made.empty()) {
                    sheets[type].add(support::saveScreenshot("topic_" + std::to_string(code)));
                }
                ++opened;
            }
        }
    }
    EXPECT_GE(opened, 192);
    for (auto& [type, sheet] : sheets) {
        sheet.save("topics_sheet_" + type);
    }
    EXPECT_EQ(sheets.size(), 14u)
        << "single, character, tap-to-reveal, drag-picture, demonstration, tap-to-play, "
           "colour-fill, drag-sort, number, line, jigsaw, direction, pinyin and special pages";
}
