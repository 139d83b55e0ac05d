#include "ui/ImageView.h"

namespace engine::ui {

ImageView* ImageView::create(const std::string& file, TextureResType type) {
    auto* view = new (std::nothrow) ImageView();
    if (view && view->init()) {
        view->loadTexture(file, type);
        view->autorelease();
        return view;
    }
    delete view;
    return nullptr;
}

void ImageView::loadTexture(const std::string& file, TextureResType) {
    _picture.load(file, "ImageView");
    updateContentSize();
}

bool ImageView::getContentAdaptSize(Size& size) const {
    if (!_picture.hasTexture()) {
        return false;
    }
    size = _picture.getSizeInPoints();
    return true;
}

void ImageView::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    _picture.draw(renderer, transform, getContentSize(), getTint());
}

Widget* ImageView::createCloneInstance() const {
    return ImageView::create();
}

void ImageView::copySpecialProperties(const Widget* model) {
    if (auto* view = dynamic_cast<const ImageView*>(model)) {
        _picture = view->_picture;
    }
}

} // namespace engine::ui
