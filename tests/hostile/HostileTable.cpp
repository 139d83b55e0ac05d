// Each limit has a row at its cap that must pass and one just past it that must not; each sample passes every other
// limit and exceeds only its own, so any one limit undone, moved by one or multiplied fails its row. The makers and
// runners of each door are in samples/.
#include "hostile/HostileTable.h"

#include "hostile/samples/PictureSamples.h"

namespace hostile {

const std::vector<Row>& table() {
    using enum Outcome;
    using enum engine::door::PictureUse;
    static const std::vector<Row> rows = {
        // Pictures.
        {"picture.side.at", "engine::ImageDecoder::load", pngOfSide(4096, 1), decodePicture(), PASSES},
        {"picture.side.past", "engine::ImageDecoder::load", pngOfSide(4097, 1), decodePicture(), REFUSED},
        {"picture.page.side.at", "engine::door::decodePicture", pngOfSide(1, 4096), decodeFor(PAGE), PASSES},
        {"picture.page.side.past", "engine::door::decodePicture", pngOfSide(1, 4097), decodeFor(PAGE), REFUSED},
        {"picture.small.side.at", "engine::door::decodePicture", pngOfSide(1024, 1), decodeFor(SMALL), PASSES},
        {"picture.small.side.past", "engine::door::decodePicture", pngOfSide(1025, 1), decodeFor(SMALL), REFUSED},
        {"picture.logo.side.at", "PictureFile::keepIfSmallPictureAsync", pngOfSide(1024, 1), checkSmallPicture(),
         PASSES},
        {"picture.logo.side.past", "PictureFile::keepIfSmallPictureAsync", pngOfSide(2048, 1), checkSmallPicture(),
         REFUSED},
        {"picture.zTXt.count.at", "engine::door::decodePicture", pngWithChunks("zTXt", 64, 8192), decodePicture(),
         PASSES},
        {"picture.zTXt.count.past", "engine::door::decodePicture", pngWithChunks("zTXt", 65, 8192), decodePicture(),
         REFUSED},
        {"picture.iTXt.count.at", "engine::door::decodePicture", pngWithChunks("iTXt", 64, 8192), decodePicture(),
         PASSES},
        {"picture.iTXt.count.past", "engine::door::decodePicture", pngWithChunks("iTXt", 65, 8192), decodePicture(),
         REFUSED},
        {"picture.tEXt.bytes.at", "engine::door::decodePicture", pngWithChunks("tEXt", 16, 65536), decodePicture(),
         PASSES},
        {"picture.tEXt.bytes.past", "engine::door::decodePicture", pngWithChunks("tEXt", 17, 61681), decodePicture(),
         REFUSED},
        {"picture.zTXt.bytes.past", "engine::door::decodePicture", pngWithChunks("zTXt", 1, 1048577), decodePicture(),
         REFUSED},
        {"picture.head.privateChunk.past", "engine::door::decodePicture", pngWithChunks("prVt", 1, 16u << 20),
         decodeFor(SMALL), REFUSED},
        {"picture.pngData.at", "engine::door::decodePicture", pngWithDataOver(0), decodePicture(), PASSES},
        {"picture.pngData.past", "engine::door::decodePicture", pngWithDataOver(1), decodePicture(), REFUSED},
        {"picture.small.fileBytes.at", "engine::door::decodePicture", smallPngOver(0), decodeFor(SMALL), PASSES},
        {"picture.small.fileBytes.past", "engine::door::decodePicture", smallPngOver(1), decodeFor(SMALL), REFUSED},
        {"picture.jpegScans.at", "engine::door::decodePicture", jpegOfScans(64), decodePicture(), PASSES},
        {"picture.jpegScans.past", "engine::door::decodePicture", jpegOfScans(65), decodePicture(), REFUSED},
        {"picture.jpegMarkers.at", "engine::door::decodePicture", jpegWithSegments(1023), decodePicture(), PASSES},
        {"picture.jpegMarkers.past", "engine::door::decodePicture", jpegWithSegments(1024), decodePicture(),
         REFUSED},
        {"picture.cachedThenSmall.at", "engine::TextureCache::addImage", pngOfSide(1024, 1), cachedThenSmall(),
         PASSES},
        {"picture.cachedThenSmall.past", "engine::TextureCache::addImage", pngOfSide(1025, 1), cachedThenSmall(),
         REFUSED},

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
