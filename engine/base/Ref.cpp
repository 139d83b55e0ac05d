#include "base/Ref.h"

#include <algorithm>
#include <cassert>

namespace engine {

Ref::~Ref() = default;

void Ref::retain() { ++_referenceCount; }

void Ref::release() {
    assert(_referenceCount > 0);
    if (--_referenceCount == 0) {
        delete this;
    }
}

Ref* Ref::autorelease() {
    AutoreleasePool::getInstance().addObject(this);
    return this;
}

AutoreleasePool& AutoreleasePool::getInstance() {
    // Never destroyed: objects still waiting at exit are not released after the engine's own singletons are gone.
    static AutoreleasePool* pool = new AutoreleasePool();
    return *pool;
}

void AutoreleasePool::addObject(Ref* object) { _objects.push_back(object); }

void AutoreleasePool::clear() {
    // Releasing may delete objects whose destructors autorelease more; drain until quiet.
    while (!_objects.empty()) {
        std::vector<Ref*> objects;
        objects.swap(_objects);
        for (Ref* object : objects) {
            object->release();
        }
    }
}

bool AutoreleasePool::contains(const Ref* object) const {
    return std::find(_objects.begin(), _objects.end(), object) != _objects.end();
}

} // namespace engine
