// Hostile pictures and their runner.
#pragma once

#include "hostile/HostileRow.h"

namespace hostile {

// A PNG of width x height grey pixels, written whole with libpng's own writer.
Make pngOfSide(int width, int height);
// Decodes the sample for a page (the side cap of any picture) and says whether it decoded.
Run decodePicture();

} // namespace hostile
