// A lecture chosen as the grouping scene leaves it: the global data, and lectures 1 to 3 of its phase in the
// courseware list with their demo packages unpacked under "NetRes/".
#pragma once

#include "scene/Node.h"

namespace support {

struct Lecture {
    int courseType = 1;
    int subject = 1;
    int grade = 1;
    int phase = 1;
    int lesson = 2;
};

// Play mode 1, class 101; the server's copy of a package (with the movies the build made for it) is preferred.
void chooseLecture(const Lecture& lecture);

// The first child of kind T, or null.
template <class T> T* childOf(engine::Node* parent) {
    for (engine::Node* child : parent->getChildren()) {
        if (auto* found = dynamic_cast<T*>(child)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace support
