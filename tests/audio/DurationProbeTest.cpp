#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SoundFiles.h"
#include "audio/AudioDevice.h"
#include "audio/DurationProbe.h"

using engine::DurationProbe;

namespace {

std::vector<unsigned char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DurationProbe, ReadsWavFormats) {
    audiotest::ScratchFolder scratch;
    EXPECT_NEAR(DurationProbe::durationOf(audiotest::writeWav(scratch / "a.wav", 0.5f)), 0.5f, 1e-4);
    EXPECT_NEAR(DurationProbe::durationOf(audiotest::writeWav(scratch / "b.wav", 1.3f, 44100, 2)), 1.3f, 1e-4);
}

TEST(DurationProbe, CountsMp3FramesAsTheMixerDecodesThem) {
    audiotest::ScratchFolder scratch;
    std::string mp3 = audiotest::makeMp3(audiotest::writeWav(scratch / "a.wav", 1.3f, 44100, 2), scratch / "a.mp3");
    if (mp3.empty()) {
        // CI runs on a machine the install script set up, so a skip there would hide a missing package.
        ASSERT_EQ(std::getenv("CI"), nullptr) << "sox cannot write MP3: scripts/install-deps.sh brings it";
        GTEST_SKIP() << "sox cannot write MP3 here";
    }
    engine::AudioDevice device;
    device.open();
    engine::AudioClip clip;
    ASSERT_TRUE(device.load(mp3, clip));
    float probed = DurationProbe::durationOf(mp3);
    EXPECT_NEAR(probed, clip.duration, 1e-3);
    device.free(clip);
    device.close();

    // An ID3v2 tag in front changes nothing; a cut file is shorter.
    std::vector<unsigned char> bytes = readAll(mp3);
    std::vector<unsigned char> tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 20};
    tagged.resize(30, 0);
    tagged.insert(tagged.end(), bytes.begin(), bytes.end());
    EXPECT_NEAR(DurationProbe::mp3Duration(tagged.data(), tagged.size()), probed, 1e-6);
    float half = DurationProbe::mp3Duration(bytes.data(), bytes.size() / 2);
    EXPECT_GT(half, 0.f);
    EXPECT_LT(half, probed * 0.75f);
}

TEST(DurationProbe, RejectsWhatIsNotSound) {
    audiotest::ScratchFolder scratch;
    std::ofstream(scratch / "text.mp3") << "plain text, no frames";
    std::ofstream(scratch / "bad.wav") << "RIFF\x10\0\0\0WAVEjunk";
    EXPECT_EQ(DurationProbe::durationOf(scratch / "text.mp3"), -1.f);
    EXPECT_EQ(DurationProbe::durationOf(scratch / "bad.wav"), -1.f);
    EXPECT_EQ(DurationProbe::durationOf(scratch / "missing.wav"), -1.f);
    EXPECT_EQ(DurationProbe::durationOf(scratch.path), -1.f);
}

TEST(SilentAudioDevice, DecodesDurationsWithoutAMixer) {
    audiotest::ScratchFolder scratch;
    engine::AudioDevice device;
    device.open(false);
    EXPECT_EQ(device.mode(), engine::AudioDevice::Mode::SILENT);
    engine::AudioClip clip;
    ASSERT_TRUE(device.load(audiotest::writeWav(scratch / "a.wav", 0.5f), clip));
    EXPECT_EQ(clip.chunk, nullptr);
    EXPECT_NEAR(clip.duration, 0.5f, 1e-4);
    EXPECT_EQ(device.play(clip, false, 1.f), -1);
    std::ofstream(scratch / "text.mp3") << "plain text";
    EXPECT_FALSE(device.load(scratch / "text.mp3", clip));
    device.close();
}

} // namespace
