// A texture and a rectangle of it; the frames of frame animations.
#pragma once

#include <map>
#include <string>

#include "base/Geometry.h"
#include "base/Ref.h"

namespace engine {

class Texture2D;

class SpriteFrame : public Ref {
public:
    static SpriteFrame* createWithTexture(Texture2D* texture, const Rect& rectInPixels);
    ~SpriteFrame() override;
    Texture2D* getTexture() const { return _texture; }
    const Rect& getRectInPixels() const { return _rectInPixels; }
    SpriteFrame* clone() const;

private:
    SpriteFrame() = default;
    Texture2D* _texture = nullptr;
    Rect _rectInPixels;
};

// No sheets: holds only the frames that animations add by file name.
class SpriteFrameCache {
public:
    static SpriteFrameCache* getInstance();
    void addSpriteFrame(SpriteFrame* frame, const std::string& name);
    SpriteFrame* getSpriteFrameByName(const std::string& name) const;
    void removeSpriteFrameByName(const std::string& name);
    // Drops the frames only the cache holds.
    void removeUnusedSpriteFrames();
    void removeSpriteFrames();
    size_t size() const { return _frames.size(); }

private:
    std::map<std::string, SpriteFrame*> _frames;
};

} // namespace engine
