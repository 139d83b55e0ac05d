#include "base/Utils.h"

namespace engine {

int gettimeofday(struct timeval* tp, void* /*tzp*/) {
    if (!tp) {
        return -1;
    }
    return ::gettimeofday(tp, nullptr);
}

} // namespace engine
