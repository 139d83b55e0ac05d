// Each limit has a row at its cap that must pass and one just past it that must not; each sample passes every other
// limit and exceeds only its own, so any one limit undone, moved by one or multiplied fails its row. The makers and
// runners of each door are in samples/.
#include "hostile/HostileTable.h"

#include "hostile/samples/PictureSamples.h"

namespace hostile {

const std::vector<Row>& table() {
    using enum Outcome;
    static const std::vector<Row> rows = {
        // Pictures.
        {"picture.side.at", "engine::ImageDecoder::load", pngOfSide(4096, 1), decodePicture(), PASSES},
        {"picture.side.past", "engine::ImageDecoder::load", pngOfSide(4097, 1), decodePicture(), REFUSED},

        // Sounds.

        // Text.

        // Layouts and property lists.

        // Kept files.

        // Replies.

        // Archives.

        // Downloads.

        // Movies.
    };
    return rows;
}

} // namespace hostile
