#include "tools/TeachLayer.h"

#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/UITools.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "platform/FileUtils.h"
#include "scene/Sprite.h"
#include "ui/ImageView.h"

namespace {

const char* const kClickSound = "BtnClick.mp3";

} // namespace

TeachLayer::~TeachLayer() = default;

bool TeachLayer::init() {
    if (!BaseLayer::init()) {
        return false;
    }
    showPage();
    return true;
}

std::string TeachLayer::pagePath(int page) const {
    return engine::StringUtils::format("%s/Teach%d.png", folder.c_str(), page);
}

void TeachLayer::initData() {
    folder = FileManager::getInstance()->getNetResPath() + CoursewareManager::getInstance()->getCurrentIdentify();
    pageCount = 1;
    while (engine::FileUtils::getInstance()->isFileExist(pagePath(pageCount))) {
        ++pageCount;
    }
    --pageCount;
    currentPage = 1;
}

void TeachLayer::initRes() {
    root = UITools::createCsbNode("TeachLayer.csb");
    if (!root) {
        return;
    }
    addChild(root);
    prevButton = UITools::addClickListener(
        root, [this] { onPrev(); }, false, kClickSound, "Btn_Prev");
    nextButton = UITools::addClickListener(
        root, [this] { onNext(); }, false, kClickSound, "Btn_Next");
}

void TeachLayer::screenAdaptation() {
    if (!root) {
        return;
    }
    engine::Node* close = UITools::addClickListener(
        root, [this] { UITools::removeSelf(this); }, false, kClickSound, "Btn_Close");
    if (close) {
        const engine::Size window = engine::Director::getInstance()->getWinSize();
        close->setPosition(window.width, window.height);
    }
}

void TeachLayer::showPage() {
    const std::string path = pagePath(currentPage);
    auto* image = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(root, "Img_Content"));
    if (image) {
        image->loadTexture(path);
        image->setVisible(true);
        // A picture that cannot be read keeps the layout's size.
        if (engine::Sprite* probe = engine::Sprite::create(path); probe && probe->getContentSize().height > 0) {
            const engine::Size picture = probe->getContentSize();
            const float scale = engine::Director::getInstance()->getWinSize().height / picture.height;
            image->ignoreContentAdaptWithSize(false);
            image->setContentSize(engine::Size(picture.width * scale, picture.height * scale));
        }
        const float x = image->getPositionX() + image->getContentSize().width * 0.5f;
        for (engine::Node* arrow : {prevButton, nextButton}) {
            if (arrow) {
                arrow->setPositionX(x);
            }
        }
    }
    if (prevButton) {
        prevButton->setVisible(pageCount > 0 && currentPage != 1);
    }
    if (nextButton) {
        nextButton->setVisible(pageCount > 0 && currentPage != pageCount);
    }
}

void TeachLayer::onPrev() {
    if (currentPage > 1) {
        --currentPage;
    }
    showPage();
}

void TeachLayer::onNext() {
    if (currentPage < pageCount) {
        ++currentPage;
    }
    showPage();
}
