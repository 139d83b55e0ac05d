// A picture lecture's pages, one at a time across the window width, with a strip of six thumbnails, a fold-out
// panel of classroom tools and, when the lecture has questions, the simple question game.
#pragma once

#include <set>
#include <string>

#include "common/BaseScene.h"
#include "common/LifeToken.h"

namespace engine {
class Node;
}

class TouTopicScene : public BaseScene {
public:
    static TouTopicScene* create() { return createScene<TouTopicScene>(); }
    ~TouTopicScene() override;

    // Pages are counted from 1.png up to the first missing number.
    void initData() override;
    void initRes() override;
    void screenAdaptation() override;
    // Stops the background music, then shows the page.
    void onEnterTransitionDidFinish() override;

    void showPage();
    void refreshThumbnails();
    // Keeps the selected end thumbnail inside "Panel_Nav".
    void alignThumbnailStrip();
    void onPrevPage();
    void onNextPage();
    // Slot 1 to 6; a slot past the last page does nothing.
    void onThumbnailClicked(engine::Node* node, int slot);
    void onReturn();
    void onSetClicked();
    void onNavClicked();
    void onDrawClicked();
    void onTeachingClicked();
    void onMusicClicked();
    void onGameClicked();

    std::string pagePath(int number) const;

    engine::Node* root = nullptr;
    bool settingsOpen = false;
    engine::Node* setPanel = nullptr;
    std::string folder;
    int page = 1;
    int thumbSlot = 1;
    int firstThumb = 1;
    int pageCount = 0;

protected:
    friend class BaseScene;
    TouTopicScene() = default;

private:
    // Folds the panel to scale 0 or unfolds it to 1 and remembers which.
    void setSettingsOpen(bool open);
    // Keeps in the texture cache the page pictures on screen and the pages either side of the shown one, and
    // drops the others, so paging through a long lecture holds only those.
    void releaseHiddenPages();
    // Decodes the pages either side of the shown one on the loader thread, so the next click finds them ready
    // or, while the decode runs, shows the page as soon as it arrives.
    void prefetchNeighbours();

    std::set<std::string> keptPictures;
    // Pages on the loader thread; a page or thumbnail waiting for one of them is drawn when it arrives.
    std::set<std::string> decoding;
    bool waitingForDecode = false;
    LifeToken life;
};
