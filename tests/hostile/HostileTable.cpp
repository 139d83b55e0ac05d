// Each limit has a row at its cap that must pass and one just past it that must not; each sample passes every other
// limit and exceeds only its own, so any one limit undone, moved by one or multiplied fails its row. The makers and
// runners of each door are in samples/.
#include "hostile/HostileTable.h"

#include "hostile/samples/LayoutSamples.h"
#include "hostile/samples/PictureSamples.h"
#include "hostile/samples/TextSamples.h"

namespace hostile {

const std::vector<Row>& table() {
    using enum Outcome;
    static const std::vector<Row> rows = {
        // Pictures.
        {"picture.side.at", "engine::ImageDecoder::load", pngOfSide(4096, 1), decodePicture(), PASSES},
        {"picture.side.past", "engine::ImageDecoder::load", pngOfSide(4097, 1), decodePicture(), REFUSED},

        // Sounds.

        // Text.
        {"text.characters.at", "engine::Label", wordsOf(8192, 80), labelIn(13, 0, 0), PASSES},
        {"text.characters.past", "engine::Label", wordsOf(8193, 80), labelIn(13, 0, 0), BOUNDED},
        {"text.box.at", "engine::Label", wordsOf(60, 0), labelIn(28, 480, 140), PASSES},
        {"text.box.past", "engine::Label", wordsOf(2000, 0), labelIn(28, 480, 140), BOUNDED},
        {"text.line.past", "engine::Label", wordsOf(40000, 0), labelIn(24, 0, 0), BOUNDED},
        {"text.wrapped.past", "engine::Label", wordsOf(1000000, 0), labelIn(28, 480, 140), BOUNDED},
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

        // Archives.

        // Downloads.

        // Movies.
    };
    return rows;
}

} // namespace hostile
