// The engine's limits on what comes from outside the program: pictures, sounds, text, layouts, property lists, JSON
// nesting and transfers. Each line says what the limit bounds and why the number; docs/input-limits.md says where
// each input enters and what happens past each limit. The program's protocol (replies, packages, the interface
// pack, the updater, archives, movies) has its own in src/net/NetLimits.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace engine::limits {

inline constexpr uint64_t kMiB = 1024 * 1024;

// Pictures (PNG and JPEG, the only formats decoded).
// Side of the largest picture decoded: the program's own largest is 1280 x 1080, a page or still of a package
// never needs more than 4096; past it a picture is not decoded at all.
inline constexpr int kPictureSide = 4096;
// Side of a picture that arrives for a small use (pupil head, course icon, institution logo): drawn at a few hundred
// pixels at most, so 1024 leaves room to spare while its decode stays a few milliseconds and 4 MB.
inline constexpr int kSmallPictureSide = 1024;
// Segments walked before a JPEG's frame header: real files carry a handful.
inline constexpr int kJpegMarkers = 1024;
// Scans of one JPEG: a baseline picture has one (one a colour at most), libjpeg's progressive script ten, encoders
// that tune their scripts a few dozen. Every scan works over the whole picture again, so the count bounds the
// decoding work as the side bounds the memory.
inline constexpr int kJpegScans = 64;
// A PNG's compressed data (its IDAT chunks) may exceed the raw rows its header declares (height rows of a filter
// byte and the pixels) by an eighth and this much: deflate stores data it cannot shrink with 5 bytes a block of
// up to 64 KiB, plus the stream's own 6. What the data inflates to is bounded by the rows themselves: the decode
// stops one row past them (libpng's own whole-picture reading would inflate all the stream holds).
inline constexpr uint64_t kPngDataMargin = 64 * 1024;
// Chunks of a PNG besides its header, palette, transparency, data and end (text, colour, time, private ones):
// real files carry a dozen at most. None is used, so none is inflated or kept; the count and the bytes bound the
// reading they cost.
inline constexpr int kPngAncillaryChunks = 64;
// Bytes of those chunks together: an ICC profile or an EXIF block runs to some hundred KiB at most.
inline constexpr uint64_t kPngAncillaryBytes = 1 * kMiB;
// A picture for a small use may be at most its pixels' bytes as RGBA rows (with a byte a row), an eighth more and
// this much: what a real head, icon or logo needs with its header and a colour profile, where a small picture
// with megabytes of anything else is a file built to cost.
inline constexpr uint64_t kSmallPictureFileMargin = 64 * 1024;
// Side of the box an icon or the institution logo is kept at: the demo's icons are 220 x 180, the logo is drawn
// 220 wide; a larger picture is scaled down to fit on the decoding thread, so no icon holds 4 MB of pixels.
inline constexpr int kSmallPictureKeptSide = 256;
// Bytes of one downloaded picture (head, icon, logo, question picture) or sound: a body past it fails unread.
inline constexpr uint64_t kPictureBytes = 16 * kMiB;

// Sounds (WAV and MP3, the formats the program ships and downloads).
// Seconds of a sound decoded at once on the calling thread (clicks, feedback, a short loop): the program's longest
// is 4.1 s, and 5 s of mixer output is under 1 MB and a few milliseconds of decoding.
inline constexpr float kEffectSeconds = 5.f;
// Seconds of a voice (a question's sound, a reading), decoded whole on a worker: readings last under a minute, and
// three minutes are 32 MB in the mixer's format.
inline constexpr float kVoiceSeconds = 180.f;
// Bytes of any sound file: the download cap of a sound; a WAV is held whole while it converts.
inline constexpr uint64_t kSoundFileBytes = 16 * kMiB;

// Nesting of a reply's JSON: writing it back and copying it recurse.
inline constexpr size_t kReplyJsonDepth = 512;

// Layouts and property lists of the program folder, the interface pack and packages.
// Nesting of a layout file's JSON: twice the node limit and more, since each node level is an object and its
// "children" array.
inline constexpr int kLayoutJsonDepth = 256;
// Node levels of a layout: real screens nest about ten.
inline constexpr int kLayoutNodeDepth = 64;
// Nesting of a property list: deeper is taken as malformed rather than risking the stack.
inline constexpr int kPlistDepth = 256;
// Bytes of one layout file: the program's largest is 15 KB; the parsed tree takes a few times the text.
inline constexpr uint64_t kLayoutBytes = 256 * 1024;
// Nodes of one layout (every JSON object of the file): the program's largest screen has 120; each node is a live
// widget, so the count bounds the memory and the time of building the screen.
inline constexpr int kLayoutNodes = 1024;
// Font size a layout may give (fontSize, titleFontSize), in points: the program's own are 48 at most; a glyph's
// cost grows with its area, so a file past it is refused before any text is made.
inline constexpr float kLayoutFontSize = 96.f;
// Size of any number of a layout but a tag, either way (places, sizes, scales, angles): the program's own stay under
// 1,300; past it nothing means anything on a screen, and a float cannot hold every number JSON can write.
inline constexpr double kLayoutNumber = 100000;
// Bytes of one property list: the program's largest is 57 KB; the XML tree takes up to twenty times the text.
inline constexpr uint64_t kPlistBytes = 2 * kMiB;
// Values of one property list (every dict, array and leaf): the program's largest has about 1,400.
inline constexpr int kPlistNodes = 65536;

// Text.
// Font size a label is drawn at, in points: larger sizes are drawn at this one (the layouts' own cap).
inline constexpr float kFontSize = kLayoutFontSize;
// Characters a label lays out: a full window of the program's smallest text (13 points) holds about 8,000.
inline constexpr size_t kTextCharacters = 8192;
// Side of a label's surface in pixels, and its area: a full window at twice the design size is 2560 x 1440
// (3.7 million pixels); text past them is cut before the surface is made.
inline constexpr int kTextSurfaceSide = 4096;
inline constexpr int64_t kTextSurfacePixels = 4 * 1024 * 1024;

// Bytes of any other whole-file read of a file from outside (FileUtils::getStringFromFile, getDataFromFile): the
// largest file read whole is a picture, capped the same.
inline constexpr uint64_t kWholeFileBytes = kPictureBytes;

// Transfers of the engine's downloader.
// Redirects followed by one download (http and https only).
inline constexpr long kRedirects = 5;
// A transfer slower than this many bytes a second over kSlowTransferSeconds is cut, so a trickle cannot hold a
// download slot for good.
inline constexpr uint32_t kSlowTransferBytesPerSecond = 1024;
inline constexpr float kSlowTransferSeconds = 30.f;
// No byte for this long (or no connection) fails one of the program's downloads.
inline constexpr uint32_t kDownloadStallSeconds = 10;
// Whole time of one downloaded picture or sound: a real one (tens of KB) arrives in a second even on a slow line,
// and the largest allowed (kPictureBytes) at 140 KB/s; a trickle above the slow-transfer limit then holds the
// login or a lesson for two minutes, not for hours.
inline constexpr float kPictureDownloadSeconds = 120.f;
// Whole time of any other download (package, interface pack, updater, movie): a minute and its length at this rate,
// 512 kbit/s, a slow classroom line: a 200 MB package gets 53 minutes, the largest movie (1 GiB) under 5 hours.
// A line slower than that cannot fetch it at all, and is told so by a failure rather than a bar that never ends.
inline constexpr float kDownloadBaseSeconds = 60.f;
inline constexpr uint32_t kDownloadFloorBytesPerSecond = 64 * 1024;

} // namespace engine::limits
