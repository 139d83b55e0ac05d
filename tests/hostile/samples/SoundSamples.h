// Hostile sounds and their runners. MP3 frames come from ffmpeg (8 kHz mono at 8 kbit/s: 576 samples a frame, so
// frame counts give exact durations); everything else is written by hand.
#pragma once

#include <string>

#include "door/SoundDoor.h"
#include "hostile/HostileRow.h"

namespace hostile {

// A 16-bit mono WAV of exactly frames samples at rate.
Make wavOfFrames(long frames, int rate);
// A 16-bit stereo 48 kHz WAV of exactly bytes bytes on disk.
Make wavOfBytes(long bytes);
// frames MP3 frames; with claimedFrames > 0 a Xing frame in front claims that many instead.
Make mp3OfFrames(long frames, long claimedFrames = 0);
// The same MP3 frames inside the padding block of an hour of silent FLAC, named .mp3.
Make flacWithMp3Padding(long mp3Frames);
// A pack folder ahead of the program's: the pack's BtnClick.mp3 of packFrames at 8 kHz, the program's of 0.5 s.
Make packClick(long packFrames);

// Loads the sample through the door for the use: PASSES when decoded, BOUNDED when left to stream.
Run loadSoundFor(engine::door::SoundUse use);
// Plays BtnClick.mp3 from the pack folder the sample names: GIVEN_WAY when the program's own played.
Run playPackClick();

} // namespace hostile
