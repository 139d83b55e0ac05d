// Each limit has a row at its cap that must pass and one just past it that must not; each sample passes every other
// limit and exceeds only its own, so any one limit undone, moved by one or multiplied fails its row. The makers and
// runners of each door are in samples/.
#include "hostile/HostileTable.h"

#include "hostile/samples/ArchiveSamples.h"
#include "hostile/samples/DownloadSamples.h"
#include "hostile/samples/LayoutSamples.h"
#include "hostile/samples/MovieSamples.h"
#include "hostile/samples/PictureSamples.h"
#include "hostile/samples/ReplySamples.h"
#include "hostile/samples/SoundSamples.h"
#include "hostile/samples/TextSamples.h"
#include "net/NetLimits.h"

namespace hostile {

const std::vector<Row>& table() {
    using enum Outcome;
    using enum ReplyDoor::Kind;
    constexpr ReplyDoor::Kind OTHER_REPLY = ReplyDoor::Kind::OTHER;
    constexpr uint64_t kMiB16 = 16 << 20;
    constexpr uint64_t kMiB256 = 256 << 20;
    using enum engine::door::SoundUse;
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
        {"text.characters.at", "engine::Label", wordsOf(8192, 80), labelIn(13, 0, 0), PASSES},
        {"text.characters.past", "engine::Label", wordsOf(8193, 80), labelIn(13, 0, 0), BOUNDED},
        {"text.box.at", "engine::Label", wordsOf(60, 0), labelIn(28, 480, 140), PASSES},
        {"text.box.past", "engine::Label", wordsOf(2000, 0), labelIn(28, 480, 140), BOUNDED},
        {"text.line.past", "engine::Label", wordsOf(40000, 0), labelIn(24, 0, 0), BOUNDED},
        {"text.wrapped.past", "engine::Label", wordsOf(1000000, 0), labelIn(28, 480, 140), BOUNDED},
        {"text.box.widerThanASurface", "engine::Label", wordsOf(60, 0), labelIn(28, 1e30f, 1e30f), PASSES},
        {"text.fontSize.drawnAtCap", "engine::Label", wordsOf(4, 0), labelIn(16000, 0, 0), PASSES},
        {"text.fontSize.at", "engine::CSLoader::createNode", packLogin("", 96), loadLogin(), PASSES},
        {"text.fontSize.past", "engine::CSLoader::createNode", packLogin("", 97), loadLogin(), GIVEN_WAY},

        // Layouts and property lists.
        {"layout.bytes.at", "engine::CSLoader::createNode", layoutOfBytes(256 * 1024), readLayout(), PASSES},
        {"layout.bytes.past", "engine::CSLoader::createNode", layoutOfBytes(256 * 1024 + 1), readLayout(), REFUSED},
        {"layout.nodes.at", "engine::CSLoader::createNode", layoutOfNodes(1024), readLayout(), PASSES},
        {"layout.nodes.past", "engine::CSLoader::createNode", layoutOfNodes(1025), readLayout(), REFUSED},
        {"layout.nodeDepth.at", "engine::CSLoader::createNode", layoutOfNodeDepth(64), readLayout(), PASSES},
        {"layout.nodeDepth.past", "engine::CSLoader::createNode", layoutOfNodeDepth(65), readLayout(), REFUSED},
        {"layout.jsonDepth.at", "engine::CSLoader::createNode", layoutOfJsonDepth(256), readLayout(), PASSES},
        {"layout.jsonDepth.past", "engine::CSLoader::createNode", layoutOfJsonDepth(257), readLayout(), REFUSED},
        {"layout.number.at", "engine::CSLoader::createNode", layoutOfNumber(100000), readLayout(), PASSES},
        {"layout.number.past", "engine::CSLoader::createNode", layoutOfNumber(100000.0001), readLayout(), REFUSED},
        {"layout.login.whole", "engine::CSLoader::createNode", packLogin(""), loadLogin(), PASSES},
        {"layout.login.noUserName", "engine::CSLoader::createNode", packLogin("UserName"), loadLogin(), GIVEN_WAY},
        {"layout.login.noPassWord", "engine::CSLoader::createNode", packLogin("PassWord"), loadLogin(), GIVEN_WAY},
        {"layout.login.noBtnLogin", "engine::CSLoader::createNode", packLogin("Btn_Login"), loadLogin(), GIVEN_WAY},
        {"plist.bytes.at", "engine::FileUtils::getValueMapFromFile", plistOfBytes(2 << 20), readPlist(), PASSES},
        {"plist.bytes.past", "engine::FileUtils::getValueMapFromFile", plistOfBytes((2 << 20) + 1), readPlist(),
         REFUSED},
        {"plist.values.at", "engine::FileUtils::getValueMapFromFile", plistOfValues(65536), readPlist(), PASSES},
        {"plist.values.past", "engine::FileUtils::getValueMapFromFile", plistOfValues(65537), readPlist(), REFUSED},
        {"plist.depth.at", "engine::FileUtils::getValueMapFromFile", plistOfDepth(256), readPlist(), PASSES},
        {"plist.depth.past", "engine::FileUtils::getValueMapFromFile", plistOfDepth(257), readPlist(), REFUSED},

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
