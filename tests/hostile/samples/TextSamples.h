// Hostile text and its runner: the sample is the text itself.
#pragma once

#include "hostile/HostileRow.h"

namespace hostile {

// count characters of short words, a line break every perLine characters (0: none).
Make wordsOf(size_t count, size_t perLine);
// A label of the sample at fontSize points in a box of width x height (0 x 0: following the text): PASSES when it
// shows the whole text, BOUNDED when it shows a cut one.
Run labelIn(float fontSize, float width, float height);

} // namespace hostile
