// A horizontal slider: a bar, the progress part left of the ball, and the ball, from pictures or fill colours.
#pragma once

#include <functional>
#include <string>

#include "ui/Picture.h"
#include "ui/Widget.h"

namespace engine::ui {

class Slider : public Widget {
public:
    enum class EventType { ON_PERCENTAGE_CHANGED, ON_SLIDEBALL_DOWN, ON_SLIDEBALL_UP, ON_SLIDEBALL_CANCEL };
    using ccSliderCallback = std::function<void(Ref*, EventType)>;

    static Slider* create();
    ~Slider() override;

    // The bar's picture sets the size while adaptation is on.
    void loadBarTexture(const std::string& file, TextureResType type = TextureResType::LOCAL);
    void loadProgressBarTexture(const std::string& file, TextureResType type = TextureResType::LOCAL);
    void loadSlidBallTextures(const std::string& normal, const std::string& pressed = "",
                              const std::string& disabled = "", TextureResType type = TextureResType::LOCAL);
    Size getVirtualRendererSize() const { return _bar.getSizeInPoints(); }

    // Drawn where there is no picture.
    void setBarFillColor(const Color4B& color) { _barFill = color; }
    void setProgressFillColor(const Color4B& color) { _progressFill = color; }
    void setBallFillColor(const Color4B& color) { _ballFill = color; }
    // The ball's size when it has no picture (default: a square as high as the bar).
    void setBallSize(const Size& size);

    // The ball node: centred on the progress end; callers may scale it.
    Node* getSlidBallRenderer() const { return _ball; }

    // Clamped to 0..100; raises no event.
    void setPercent(int percent);
    int getPercent() const { return _percent; }

    // A touch beginning on the bar or the ball sets the percent from its x and raises ON_SLIDEBALL_DOWN then
    // ON_PERCENTAGE_CHANGED; moves that change the percent raise ON_PERCENTAGE_CHANGED; the release raises
    // ON_SLIDEBALL_UP, a cancelled touch ON_SLIDEBALL_CANCEL.
    void addEventListener(const ccSliderCallback& callback) { _eventCallback = callback; }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    Slider() = default;
    bool initSlider();
    bool containsNodePoint(const Vec2& point) const override;
    bool onTouchBegan(Touch* touch, Event* event) override;
    void onTouchMoved(Touch* touch, Event* event) override;
    void onTouchEnded(Touch* touch, Event* event) override;
    void onTouchCancelled(Touch* touch, Event* event) override;
    bool getContentAdaptSize(Size& size) const override;
    void onSizeChanged() override;
    Widget* createCloneInstance() const override;
    void copySpecialProperties(const Widget* model) override;

private:
    int percentAt(const Vec2& worldPoint) const;
    void updateBall();
    // False when the slider left the running tree meanwhile.
    bool raiseEvent(EventType type);

    Picture _bar;
    Picture _progress;
    Picture _ballNormal;
    Picture _ballPressed;
    Picture _ballDisabled;
    Color4B _barFill = Color4B(0, 0, 0, 0);
    Color4B _progressFill = Color4B(0, 0, 0, 0);
    Color4B _ballFill = Color4B(0, 0, 0, 0);
    Size _ballSize;
    Node* _ball = nullptr;
    int _percent = 0;
    ccSliderCallback _eventCallback;
};

} // namespace engine::ui
