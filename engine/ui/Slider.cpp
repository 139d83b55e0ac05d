#include "ui/Slider.h"

#include <algorithm>
#include <cmath>

#include "base/Touch.h"
#include "render/Renderer.h"

namespace engine::ui {

Slider* Slider::create() {
    auto* slider = new (std::nothrow) Slider();
    if (slider && slider->init() && slider->initSlider()) {
        slider->autorelease();
        return slider;
    }
    delete slider;
    return nullptr;
}

bool Slider::initSlider() {
    _ball = Node::create();
    if (!_ball) {
        return false;
    }
    _ball->retain();
    _ball->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    setTouchEnabled(true);
    updateBall();
    return true;
}

Slider::~Slider() {
    if (_ball) {
        _ball->release();
    }
}

void Slider::loadBarTexture(const std::string& file, TextureResType) {
    _bar.load(file, "Slider");
    updateContentSize();
}

void Slider::loadProgressBarTexture(const std::string& file, TextureResType) {
    _progress.load(file, "Slider");
}

void Slider::loadSlidBallTextures(const std::string& normal, const std::string& pressed, const std::string& disabled,
                                  TextureResType) {
    _ballNormal.load(normal, "Slider");
    _ballPressed.load(pressed, "Slider");
    _ballDisabled.load(disabled, "Slider");
    updateBall();
}

void Slider::setBallSize(const Size& size) {
    _ballSize = size;
    updateBall();
}

void Slider::setPercent(int percent) {
    _percent = std::clamp(percent, 0, 100);
    updateBall();
}

bool Slider::getContentAdaptSize(Size& size) const {
    if (!_bar.hasTexture()) {
        return false;
    }
    size = _bar.getSizeInPoints();
    return true;
}

void Slider::onSizeChanged() {
    updateBall();
}

void Slider::updateBall() {
    if (!_ball) {
        return;
    }
    const Size& size = getContentSize();
    Size ballSize = _ballNormal.hasTexture() ? _ballNormal.getSizeInPoints() : _ballSize;
    if (ballSize.width <= 0 || ballSize.height <= 0) {
        ballSize = Size(size.height, size.height);
    }
    _ball->setContentSize(ballSize);
    _ball->setPosition(size.width * _percent / 100.f, size.height / 2);
}

bool Slider::containsNodePoint(const Vec2& point) const {
    if (Widget::containsNodePoint(point)) {
        return true;
    }
    if (!_ball->isVisible() || _ball->getScaleX() == 0.f || _ball->getScaleY() == 0.f) {
        return false;
    }
    return _ball->getBoundingBox().containsPoint(point);
}

int Slider::percentAt(const Vec2& worldPoint) const {
    const float width = getContentSize().width;
    if (width <= 0) {
        return 0;
    }
    const float x = convertToNodeSpace(worldPoint).x;
    return std::clamp(static_cast<int>(std::lround(x / width * 100.f)), 0, 100);
}

bool Slider::raiseEvent(EventType type) {
    if (_eventCallback) {
        ccSliderCallback callback = _eventCallback;
        callback(this, type);
    }
    return isRunning();
}

bool Slider::onTouchBegan(Touch* touch, Event* event) {
    if (!Widget::onTouchBegan(touch, event)) {
        return false;
    }
    if (!isRunning() || !isPressed()) {
        return true;
    }
    setPercent(percentAt(touch->getLocation()));
    if (raiseEvent(EventType::ON_SLIDEBALL_DOWN)) {
        raiseEvent(EventType::ON_PERCENTAGE_CHANGED);
    }
    return true;
}

void Slider::onTouchMoved(Touch* touch, Event* event) {
    if (!isPressed()) {
        return;
    }
    Widget::onTouchMoved(touch, event);
    if (!isRunning() || !isPressed()) {
        return;
    }
    const int percent = percentAt(touch->getLocation());
    if (percent != _percent) {
        setPercent(percent);
        raiseEvent(EventType::ON_PERCENTAGE_CHANGED);
    }
}

void Slider::onTouchEnded(Touch* touch, Event* event) {
    if (!isPressed()) {
        return;
    }
    Widget::onTouchEnded(touch, event);
    if (isRunning() && !isPressed()) {
        raiseEvent(EventType::ON_SLIDEBALL_UP);
    }
}

void Slider::onTouchCancelled(Touch* touch, Event* event) {
    if (!isPressed()) {
        return;
    }
    Widget::onTouchCancelled(touch, event);
    if (isRunning() && !isPressed()) {
        raiseEvent(EventType::ON_SLIDEBALL_CANCEL);
    }
}

void Slider::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    const Size& size = getContentSize();
    const Color4B tint = getTint();
    const float fraction = _percent / 100.f;
    if (_bar.isSet()) {
        _bar.draw(renderer, transform, size, tint);
    } else if (_barFill.a > 0) {
        renderer->drawSolidRect(transform, Rect(0, 0, size.width, size.height), Picture::modulate(_barFill, tint));
    }
    if (_progress.isSet()) {
        _progress.drawPart(renderer, transform, size, tint, 0.f, fraction);
    } else if (_progressFill.a > 0 && fraction > 0) {
        renderer->drawSolidRect(transform, Rect(0, 0, size.width * fraction, size.height),
                                Picture::modulate(_progressFill, tint));
    }

    if (!_ball->isVisible() || _ball->getScaleX() == 0.f || _ball->getScaleY() == 0.f) {
        return;
    }
    const Mat4 ballTransform = transform * _ball->getNodeToParentTransform();
    const Size& ballSize = _ball->getContentSize();
    const Picture* ball = &_ballNormal;
    if ((!isEnabled() || !isBright()) && _ballDisabled.isSet()) {
        ball = &_ballDisabled;
    } else if (isPressed() && _ballPressed.isSet()) {
        ball = &_ballPressed;
    }
    if (ball->isSet()) {
        ball->draw(renderer, ballTransform, ballSize, tint);
    } else if (_ballFill.a > 0) {
        renderer->drawSolidRect(ballTransform, Rect(0, 0, ballSize.width, ballSize.height),
                                Picture::modulate(_ballFill, tint));
    }
}

Widget* Slider::createCloneInstance() const {
    return Slider::create();
}

void Slider::copySpecialProperties(const Widget* model) {
    if (auto* slider = dynamic_cast<const Slider*>(model)) {
        _bar = slider->_bar;
        _progress = slider->_progress;
        _ballNormal = slider->_ballNormal;
        _ballPressed = slider->_ballPressed;
        _ballDisabled = slider->_ballDisabled;
        _barFill = slider->_barFill;
        _progressFill = slider->_progressFill;
        _ballFill = slider->_ballFill;
        _ballSize = slider->_ballSize;
        _ball->setScale(slider->_ball->getScaleX(), slider->_ball->getScaleY());
        _ball->setVisible(slider->_ball->isVisible());
        _eventCallback = slider->_eventCallback;
        setPercent(slider->_percent);
    }
}

} // namespace engine::ui
