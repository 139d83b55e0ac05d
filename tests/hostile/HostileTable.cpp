// Each limit has a row at its cap that must pass and one just past it that must not; each sample passes every other
// limit and exceeds only its own, so any one limit undone, moved by one or multiplied fails its row. The makers and
// runners of each door are in samples/.
#include "hostile/HostileTable.h"

#include "hostile/samples/PictureSamples.h"
#include "hostile/samples/SoundSamples.h"

namespace hostile {

const std::vector<Row>& table() {
    using enum Outcome;
    using enum engine::door::SoundUse;
    static const std::vector<Row> rows = {
        // Pictures.
        {"picture.side.at", "engine::ImageDecoder::load", pngOfSide(4096, 1), decodePicture(), PASSES},
        {"picture.side.past", "engine::ImageDecoder::load", pngOfSide(4097, 1), decodePicture(), REFUSED},

        // Sounds.
        // 5 s and 180 s at 22050 and 8000 Hz; 2500 frames of 576 samples at 8 kHz are 180 s; 16 MiB.
        {"sound.effectSeconds.at", "engine::door::loadSound", wavOfFrames(110250, 22050), loadSoundFor(EFFECT), PASSES},
        {"sound.effectSeconds.past", "engine::door::loadSound", wavOfFrames(110251, 22050), loadSoundFor(EFFECT), REFUSED},
        {"sound.voiceSeconds.at", "engine::door::loadSound", wavOfFrames(1440000, 8000), loadSoundFor(VOICE), PASSES},
        {"sound.voiceSeconds.past", "engine::door::loadSound", wavOfFrames(1440001, 8000), loadSoundFor(VOICE), REFUSED},
        {"sound.voiceSeconds.longMp3", "engine::door::loadSound", mp3OfFrames(231250), loadSoundFor(VOICE), REFUSED},
        {"sound.musicStreamed.longMp3", "engine::door::loadSound", mp3OfFrames(231250), loadSoundFor(MUSIC), BOUNDED},
        {"sound.decodedSamples.at", "engine::door::loadSound", mp3OfFrames(2500, 28), loadSoundFor(VOICE), PASSES},
        {"sound.decodedSamples.past", "engine::door::loadSound", mp3OfFrames(2501, 28), loadSoundFor(VOICE), REFUSED},
        {"sound.fileBytes.at", "engine::door::loadSound", wavOfBytes(16777216), loadSoundFor(VOICE), PASSES},
        {"sound.fileBytes.past", "engine::door::loadSound", wavOfBytes(16777217), loadSoundFor(VOICE), REFUSED},
        {"sound.content.mp3", "engine::door::loadSound", mp3OfFrames(100), loadSoundFor(VOICE), PASSES},
        {"sound.content.flacNamedMp3", "engine::door::loadSound", flacWithMp3Padding(100), loadSoundFor(VOICE), REFUSED},
        // A voice that plays is decoded whole on the calling thread (a 180 s one in some 400 ms).
        {"sound.packClick.at", "engine::AudioEngine::play2d", packClick(1440000), playPackClick(), PASSES, {1000, 150}},
        {"sound.packClick.past", "engine::AudioEngine::play2d", packClick(1440001), playPackClick(), GIVEN_WAY},

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
