// Frame animations: the frames and their timing, and the action that shows them on a sprite.
#pragma once

#include <string>

#include "base/Geometry.h"
#include "base/Vector.h"
#include "scene/Action.h"
#include "scene/SpriteFrame.h"

namespace engine {

class Sprite;
class Texture2D;

class Animation : public Ref {
public:
    static Animation* create();

    // The whole picture as a frame, through the texture cache; an unloadable file is skipped (logged).
    void addSpriteFrameWithFile(const std::string& filename);
    void addSpriteFrame(SpriteFrame* frame);
    const Vector<SpriteFrame*>& getFrames() const { return _frames; }

    // Seconds each frame shows; a negative delay counts as 0.
    void setDelayPerUnit(float delay);
    float getDelayPerUnit() const { return _delayPerUnit; }
    // Below 1 counts as 1.
    void setLoops(int loops);
    int getLoops() const { return _loops; }
    void setRestoreOriginalFrame(bool restore) { _restoreOriginalFrame = restore; }
    bool getRestoreOriginalFrame() const { return _restoreOriginalFrame; }
    // frames x delay x loops
    float getDuration() const;

protected:
    Animation() = default;

private:
    Vector<SpriteFrame*> _frames;
    float _delayPerUnit = 0;
    int _loops = 1;
    bool _restoreOriginalFrame = false;
};

// Shows an animation's frames on a sprite: frame i from i x delay in every loop. With restore set, the picture
// the sprite had at the start comes back at the end. With no frames it lasts 0.
class Animate : public ActionInterval {
public:
    // Null gives null (logged).
    static Animate* create(Animation* animation);
    ~Animate() override;

    Animate* clone() const override;
    void startWithTarget(Node* target) override;
    void stop() override;
    void update(float t) override;

protected:
    Animate() = default;

private:
    void showFrame(size_t index);
    void releaseOriginal();

    Animation* _animation = nullptr;
    Sprite* _sprite = nullptr;
    Texture2D* _originalTexture = nullptr; // retained while running
    Rect _originalRect;
    Size _originalContentSize;
    size_t _shownIndex = 0;
    bool _frameShown = false;
};

} // namespace engine
