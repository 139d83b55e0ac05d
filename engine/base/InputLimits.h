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

// Transfers of the engine's downloader.
// Redirects followed by one download (http and https only).
inline constexpr long kRedirects = 5;
// A transfer slower than this many bytes a second over kSlowTransferSeconds is cut, so a trickle cannot hold a
// download slot for good.
inline constexpr uint32_t kSlowTransferBytesPerSecond = 1024;
inline constexpr float kSlowTransferSeconds = 30.f;
// No byte for this long (or no connection) fails one of the program's downloads; never a limit on the whole
// transfer, which the byte caps bound.
inline constexpr uint32_t kDownloadStallSeconds = 10;

} // namespace engine::limits
