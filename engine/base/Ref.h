// Reference counting and the per-frame autorelease pool.
#pragma once

#include <cstddef>
#include <vector>

namespace engine {

class Ref {
public:
    virtual ~Ref();

    void retain();
    // Drops one reference; at zero the object is deleted at once.
    void release();
    // Hands one reference to the pool, which drops it at the end of the frame.
    Ref* autorelease();
    unsigned int getReferenceCount() const { return _referenceCount; }

protected:
    Ref() = default;
    Ref(const Ref&) : _referenceCount(1) {}
    Ref& operator=(const Ref&) { return *this; }

private:
    unsigned int _referenceCount = 1;
};

class AutoreleasePool {
public:
    static AutoreleasePool& getInstance();
    void addObject(Ref* object);
    // Releases every object handed over since the last drain.
    void clear();
    bool contains(const Ref* object) const;
    size_t size() const { return _objects.size(); }

private:
    std::vector<Ref*> _objects;
};

using SEL_SCHEDULE = void (Ref::*)(float);

} // namespace engine

#define schedule_selector(_SELECTOR) static_cast<engine::SEL_SCHEDULE>(&_SELECTOR)
