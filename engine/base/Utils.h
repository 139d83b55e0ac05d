// Small platform helpers.
#pragma once

#include <sys/time.h>

namespace engine {

// Wall-clock time with microseconds; the second argument is ignored. Returns 0, or -1 with tp left untouched.
int gettimeofday(struct timeval* tp, void* tzp);

} // namespace engine
