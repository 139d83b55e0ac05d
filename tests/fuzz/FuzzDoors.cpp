#include "FuzzDoors.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "audio/AudioDevice.h"
#include "base/Director.h"
#include "base/Ref.h"
#include "common/JsonManager.h"
#include "door/SoundDoor.h"
#include "layout/CSLoader.h"
#include "net/ReplyDoor.h"
#include "net/ZipUnpacker.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "render/ImageDecoder.h"

namespace fuzz {

namespace {

// A folder of this process under /tmp for the inputs the doors take by path, removed at exit.
class Scratch {
public:
    Scratch() {
        char pattern[] = "/tmp/classroom-fuzz-XXXXXX";
        if (mkdtemp(pattern)) {
            _path = pattern;
        }
    }
    ~Scratch() {
        std::error_code error;
        std::filesystem::remove_all(_path, error);
    }
    // Writes the input as the named file and returns its path.
    std::string put(const std::string& name, const uint8_t* data, size_t size) const {
        const std::string path = _path + "/" + name;
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                      static_cast<std::streamsize>(size));
        return path;
    }
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

const Scratch& scratch() {
    static const Scratch folder;
    return folder;
}

// The director on an off-screen view, sound on the dummy driver, the program's assets found by name.
void startHeadlessOnce() {
    static const bool started = [] {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("ENGINE_HEADLESS", "1", 0);
        engine::Director* director = engine::Director::getInstance();
        director->setOpenGLView(engine::GLViewImpl::createHeadless(engine::Size(1280, 720)));
        director->getOpenGLView()->setDesignResolutionSize(1280, 720, engine::ResolutionPolicy::FIXED_WIDTH);
        engine::FileUtils::getInstance()->addSearchPath(FUZZ_ASSETS_DIR);
        return true;
    }();
    (void)started;
}

} // namespace

void picture(const uint8_t* data, size_t size) {
    const std::string path = scratch().put("input.png", data, size);
    for (int side : {engine::limits::kPictureSide, engine::limits::kSmallPictureSide}) {
        SDL_FreeSurface(engine::ImageDecoder::load(path, side));
    }
}

void sound(const uint8_t* data, size_t size) {
    static engine::AudioDevice& device = []() -> engine::AudioDevice& {
        startHeadlessOnce();
        static engine::AudioDevice opened;
        opened.open(true);
        return opened;
    }();
    const std::string path = scratch().put("input.mp3", data, size);
    using engine::door::SoundUse;
    for (SoundUse use : {SoundUse::EFFECT, SoundUse::VOICE, SoundUse::MUSIC}) {
        const engine::door::SoundLoad sound = engine::door::loadSound(path, use);
        if (!sound.ok()) {
            continue;
        }
        if (use == SoundUse::MUSIC) {
            Mix_FreeMusic(engine::door::openMusic(path));
        } else if (device.mode() == engine::AudioDevice::Mode::MIXER) {
            Mix_FreeChunk(engine::door::makeChunk(sound, device.frequency(), device.format(), device.channels()));
        }
    }
    engine::door::forgetRefusedSounds();
}

void layout(const uint8_t* data, size_t size) {
    startHeadlessOnce();
    const std::string path = scratch().put("Input.csb", data, size);
    engine::CSLoader::createNode(path);
    engine::AutoreleasePool::getInstance().clear();
}

void plist(const uint8_t* data, size_t size) {
    const std::string path = scratch().put("input.plist", data, size);
    engine::FileUtils::getInstance()->getValueMapFromFile(path);
    engine::FileUtils::getInstance()->getValueVectorFromFile(path);
}

void reply(const uint8_t* data, size_t size) {
    JsonManager* json = JsonManager::getInstance();
    // The first byte picks the kind of reply, so that each kind's counting is reached.
    const auto kind = static_cast<ReplyDoor::Kind>(size > 0 ? data[0] % (static_cast<int>(ReplyDoor::Kind::ICONS) + 1) : 0);
    const rapidjson::Document document =
        ReplyDoor::read(std::string(reinterpret_cast<const char*>(data), size), kind).document;
    if (!document.IsObject()) {
        return;
    }
    json->getInt(document, "code");
    const auto found = document.FindMember("data");
    if (found != document.MemberEnd()) {
        json->forEachObject(json->asArray(found->value, "data"), "data",
                            [json](const rapidjson::Value& item) { json->readCourseware(item); });
        json->toString(found->value);
    }
}

void zip(const uint8_t* data, size_t size) {
    const std::string path = scratch().put("input.zip", data, size);
    const std::string folder = scratch().path() + "/unpacked";
    ZipUnpacker::extract(ZipUnpacker::ArchiveKind::PACKAGE, path, folder);
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

} // namespace fuzz
