// Widget lookup for the navigation scenes: a widget the layout lacks is logged and its step skipped.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "base/Log.h"
#include "common/LifeToken.h"
#include "common/UITools.h"
#include "net/CoursewareManager.h"
#include "scene/Node.h"
#include "ui/LoadingBar.h"
#include "ui/Text.h"
#include "ui/Widget.h"

namespace SceneWidgets {

// The widget of that name and kind below root; null, with one log line, when the layout has none.
template <class T = engine::Node> T* find(engine::Node* root, const std::string& name) {
    T* widget = dynamic_cast<T*>(UITools::seekChildByName(root, name));
    if (!widget) {
        engine::log("error widget: %s", name.c_str());
    }
    return widget;
}

// UITools::addClickListener with "BtnClick.mp3", logged when the widget is missing.
inline engine::ui::Widget* bindClick(engine::Node* root, const std::string& name,
                                     const UITools::ClickCallback& callback, bool withEffect) {
    engine::ui::Widget* widget = UITools::addClickListener(root, callback, withEffect, "BtnClick.mp3", name);
    if (!widget) {
        engine::log("error widget: %s", name.c_str());
    }
    return widget;
}

// Removes every node from its parent (with clean-up) and empties the list.
inline void removeAll(std::vector<engine::Node*>& nodes) {
    for (engine::Node* node : nodes) {
        UITools::removeSelf(node);
    }
    nodes.clear();
}

inline void show(engine::Node* root, const std::string& name, bool visible) {
    if (engine::Node* node = find(root, name)) {
        node->setVisible(visible);
    }
}

inline void setText(engine::Node* root, const std::string& name, const std::string& text) {
    if (auto* widget = find<engine::ui::Text>(root, name)) {
        widget->setString(text);
    }
}

// The "LoadingBar" below root.
inline void setPercent(engine::Node* root, int percent) {
    if (auto* bar = find<engine::ui::LoadingBar>(root, "LoadingBar")) {
        bar->setPercent(static_cast<float>(percent));
    }
}

// The panel "Panel_Client" + the "ClientId" of "Configs.plist" below root, made visible; null (logged) when the
// layout has none.
engine::Node* showClientPanel(engine::Node* root);

// Queues the record's package for download and marks it queued (state 2) in the current list. A package without
// address, or one the queue refuses, shows the "LectureStr6" tip and false comes back. Nothing is deleted: the
// queue replaces the old folder once the new zip has arrived.
bool queueLecture(const CoursewareData& record);

// Plays the "Perload.plist" list's animations, looped, at "AniPos1", "AniPos2", ... below root.
void playListedAnimations(engine::Node* root, const std::string& list);

// Points the courseware service's progress and finish callbacks at the scene's handlers while token lives.
template <class S> void followDownloads(S* scene, const LifeToken& token) {
    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->progressCallback = token.guard([scene](const std::string& identify, double received, double expected) {
        scene->onDownloadProgress(identify, received, expected);
    });
    courseware->finishCallback = token.guard([scene](const std::string& storagePath, const std::string& identify) {
        scene->onDownloadFinished(storagePath, identify);
    });
}

inline void stopFollowingDownloads() {
    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->progressCallback = nullptr;
    courseware->finishCallback = nullptr;
}

// Pages of perPage entries, computed in single precision and rounded up: 0 when there are none.
inline int pageCountOf(size_t entries, int perPage) {
    const float pages = static_cast<float>(entries) / static_cast<float>(perPage);
    const int whole = static_cast<int>(pages);
    return static_cast<float>(whole) < pages ? whole + 1 : whole;
}

// The whole percentage of a download, within 0 to 100; 0 while the size is unknown (0 expected bytes).
inline int downloadPercent(double received, double expected) {
    return expected > 0 ? std::clamp(static_cast<int>(received / expected * 100.0), 0, 100) : 0;
}

} // namespace SceneWidgets
