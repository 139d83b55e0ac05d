// Each limit has a row at its cap that must pass and one just past it that must not; each sample passes every other
// limit and exceeds only its own, so any one limit undone, moved by one or multiplied fails its row. The makers and
// runners of each door are in samples/.
#include "hostile/HostileTable.h"

#include "hostile/samples/ArchiveSamples.h"
#include "hostile/samples/DownloadSamples.h"
#include "hostile/samples/MovieSamples.h"
#include "hostile/samples/PictureSamples.h"
#include "hostile/samples/ReplySamples.h"
#include "hostile/samples/SoundSamples.h"
#include "net/NetLimits.h"

namespace hostile {

const std::vector<Row>& table() {
    using enum Outcome;
    using enum ReplyDoor::Kind;
    constexpr ReplyDoor::Kind OTHER_REPLY = ReplyDoor::Kind::OTHER;
    constexpr uint64_t kMiB16 = 16 << 20;
    constexpr uint64_t kMiB256 = 256 << 20;
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
        {"reply.nesting.at", "ReplyDoor::read", replyNested(netlimits::kReplyDepth), parseReply(OTHER_REPLY), PASSES},
        {"reply.nesting.past", "ReplyDoor::read", replyNested(netlimits::kReplyDepth + 1), parseReply(OTHER_REPLY),
         REFUSED},
        {"reply.bytes.at", "ReplyDoor::read", replyOfBytes(netlimits::kReplyBytes), parseReply(OTHER_REPLY), PASSES},
        {"reply.bytes.past", "ReplyDoor::read", replyOfBytes(netlimits::kReplyBytes + 1), parseReply(OTHER_REPLY),
         REFUSED},
        {"reply.items.at", "ReplyDoor::read", replyListOf(netlimits::kReplyItems), parseReply(OTHER_REPLY), PASSES},
        {"reply.items.past", "ReplyDoor::read", replyListOf(netlimits::kReplyItems + 1), parseReply(OTHER_REPLY),
         REFUSED},
        {"class.pupils.at", "ReplyDoor::read", classOfPupils(netlimits::kClassPupils), parseReply(CLASS), PASSES},
        {"class.pupils.past", "ReplyDoor::read", classOfPupils(netlimits::kClassPupils + 1), parseReply(CLASS),
         REFUSED},
        {"class.pupils.12000", "ReplyDoor::read", classOfPupils(12000), parseReply(CLASS), REFUSED},
        {"courses.items.at", "ReplyDoor::read", replyListOf(netlimits::kCourseItems), parseReply(COURSES), PASSES},
        {"courses.items.past", "ReplyDoor::read", replyListOf(netlimits::kCourseItems + 1), parseReply(COURSES),
         BOUNDED},
        {"lectures.items.at", "ReplyDoor::read", replyListOf(netlimits::kLectureItems), parseReply(LECTURES), PASSES},
        {"lectures.items.past", "ReplyDoor::read", replyListOf(netlimits::kLectureItems + 1), parseReply(LECTURES),
         BOUNDED},
        {"questions.items.at", "ReplyDoor::read", replyListOf(netlimits::kQuestionItems), parseReply(QUESTIONS),
         PASSES},
        {"questions.items.past", "ReplyDoor::read", replyListOf(netlimits::kQuestionItems + 1), parseReply(QUESTIONS),
         BOUNDED},
        {"icons.items.at", "ReplyDoor::read", replyListOf(netlimits::kIconItems), parseReply(ICONS), PASSES},
        {"icons.items.past", "ReplyDoor::read", replyListOf(netlimits::kIconItems + 1), parseReply(ICONS), BOUNDED},

        // Archives.
        {"archive.entries.at", "ZipUnpacker::extract", zipOfEntries(65535), extractArchive(), PASSES},
        {"archive.entries.past", "ZipUnpacker::extract", zipOfEntries(65536), extractArchive(), REFUSED},
        {"archive.content.floor.at", "ZipUnpacker::extract", zipOfZeros(64 << 20), extractArchive(), PASSES, {1000, 150}},
        {"archive.content.floor.past", "ZipUnpacker::extract", zipOfZeros((64 << 20) + 1), extractArchive(), REFUSED},
        {"archive.content.ratio.at", "ZipUnpacker::extract", zipAtRatio(0), extractArchive(), PASSES, {1000, 150}},
        {"archive.content.ratio.past", "ZipUnpacker::extract", zipAtRatio(1), extractArchive(), REFUSED},
        {"archive.content.ceiling.past", "ZipUnpacker::extract", sparseZipDeclaring((4ll << 30) + 1), extractArchive(), REFUSED},
        {"archive.entry.streamed.at", "ZipUnpacker::extract", zipDeclaringMore(0), extractStreamed(), PASSES},
        {"archive.entry.streamed.past", "ZipUnpacker::extract", zipDeclaringMore(1), extractStreamed(), REFUSED},

        // Downloads.
        {"download.picture.bytes.at", "DownManager::downloadFile", servedBody(kMiB16, false, "logo.png"), downloadFile(), PASSES},
        {"download.picture.bytes.past", "DownManager::downloadFile", servedBody(kMiB16 + 1, false, "logo.png"), downloadFile(), REFUSED},
        {"download.jpeg.bytes.past", "DownManager::downloadFile", servedBody(kMiB16 + 1, false, "icon.jpeg"), downloadFile(), REFUSED},
        {"download.wav.bytes.past", "DownManager::downloadFile", servedBody(kMiB16 + 1, false, "voice.wav"), downloadFile(), REFUSED},
        {"download.ogg.bytes.past", "DownManager::downloadFile", servedBody(kMiB16 + 1, false, "music.ogg"), downloadFile(), REFUSED},
        {"download.pack.bytes.at", "DownManager::downloadFile", servedBody(kMiB256, true, "ui.zip"), downloadFile(), PASSES, {2000, 150, 257}},
        {"download.pack.bytes.past", "DownManager::downloadFile", servedBody(kMiB256 + 1, true, "ui.zip"), downloadFile(), REFUSED},
        {"download.movie.bytes.at", "DownManager::downloadFile", servedBody(4 * kMiB256, true, "lesson.mp4"), downloadFile(), PASSES, {8000, 150, 1025}},
        {"download.movie.bytes.past", "DownManager::downloadFile", servedBody(4 * kMiB256 + 1, true, "lesson.mp4"), downloadFile(), REFUSED},
        {"download.updater.bytes.at", "DownManager::downloadUpdater", servedBody(2 * kMiB256, true, "Update.zip"), downloadUpdater(), PASSES, {4000, 150, 513}},
        {"download.updater.bytes.past", "DownManager::downloadUpdater", servedBody(2 * kMiB256 + 1, true, "Update.zip"), downloadUpdater(), REFUSED},

        // Movies. libvlc's parse runs on the check's own thread: the calling thread only waits for it.
        {"movie.side.at", "MovieCheck", movieOfSize(1920, 1080), checkMovie(), PASSES, {5000, 150}},
        {"movie.width.past", "MovieCheck", movieOfSize(1921, 1080), checkMovie(), REFUSED, {5000, 150}},
        {"movie.height.past", "MovieCheck", movieOfSize(1920, 1081), checkMovie(), REFUSED, {5000, 150}},
        {"movie.changed.at", "MovieCheck", movieChangedTo(1920, 1080), checkMovieThenChange(), PASSES, {5000, 150}},
        {"movie.changed.past", "MovieCheck", movieChangedTo(1921, 1080), checkMovieThenChange(), REFUSED, {5000, 150}},
    };
    return rows;
}

} // namespace hostile
