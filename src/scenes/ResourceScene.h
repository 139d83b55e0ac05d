// Courseware packages of the chosen subject outside a lesson: for each grade the packages on this computer and on
// the server, a button that queues the grade's missing packages, the running download's progress and a way into
// the grade's management page.
#pragma once

#include <array>
#include <string>

#include "base/Geometry.h"

#include "common/BaseScene.h"
#include "common/LifeToken.h"

namespace engine {
class Node;
class Ref;
} // namespace engine

class ResourceScene : public BaseScene {
public:
    static ResourceScene* create() { return createScene<ResourceScene>(); }
    // Empties the courseware service's callbacks.
    ~ResourceScene() override;

    // BaseScene's order, the background music, then the courseware service's callbacks.
    bool init() override;
    void initRes() override;

    void refreshPanels();
    void onManageClicked(engine::Ref* sender, int panel);
    void onDownloadGrade(engine::Ref* sender, int panel);
    void onDownAll();
    void onDownloadProgress(const std::string& identify, double received, double expected);
    void onDownloadFinished(const std::string& storagePath, const std::string& identify);
    void goToGrade();

    // The grade shown by panel 1 to 5: 1, 2, 3, 5, 6; 0 for any other panel.
    static int gradeOfPanel(int panel);

protected:
    friend class BaseScene;
    ResourceScene() = default;

private:
    // The progress node of the identify code's grade ("Panel" and its two grade digits); null when the code is
    // too short to hold them or the layout has no such node.
    engine::Node* progressNode(const std::string& identify) const;

    // Moves the shown grade cards, with their progress nodes, into the layout's first slots, side by side.
    void packPanels();

    engine::Node* rootNode = nullptr;
    // Where the layout puts each grade card and its progress node.
    std::array<engine::Vec2, 5> cardSlots{};
    std::array<engine::Vec2, 5> progressSlots{};
    LifeToken lifeToken;
};
