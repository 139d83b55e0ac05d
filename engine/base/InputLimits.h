// Every limit on what comes from outside the program: the server's replies and downloads, packages, the interface
// pack, and files found on disk. Each line says what the limit bounds and why the number; docs/input-limits.md says
// where each input enters and what happens past each limit. An outside input is bounded on every measure it can
// spend (bytes, count, depth, decoding work, time): a new input or check takes its limits from here.
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
// Bytes of one downloaded picture (head, icon, logo, question picture) or sound: a body past it fails unread.
// The request service's replies have the same bound.
inline constexpr uint64_t kPictureBytes = 16 * kMiB;

// Replies of the request service.
// Bytes of one reply: no request of the interface comes near it.
inline constexpr size_t kReplyBytes = 16 * kMiB;
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

// Downloads. Every single-file download has a cap by what it fetches, enforced during the transfer.
// A movie of a lesson's file list (the opening video), or a file of a kind not named here: a 720p movie at
// 5 Mbit/s for 25 minutes is under it.
inline constexpr uint64_t kMovieBytes = 1024 * kMiB;
// The interface pack: the program's own pictures and layouts are 4 MiB; a pack that replaces them all at a higher
// resolution stays far below it.
inline constexpr uint64_t kInterfacePackBytes = 256 * kMiB;
// The updater package: the program with its libraries is tens of MiB.
inline constexpr uint64_t kUpdaterBytes = 512 * kMiB;
// Redirects followed by one download (http and https only).
inline constexpr long kRedirects = 5;
// A package may come this much longer than the course list's "size" says (a quarter more, at least this).
inline constexpr uint64_t kPackageMargin = 4 * kMiB;
// A package whose record gives no size: the most a record's "size" can say.
inline constexpr uint64_t kPackageWithoutSize = 2048 * kMiB;
// A transfer slower than this many bytes a second over kSlowTransferSeconds is cut, so a trickle cannot hold a
// download slot for good.
inline constexpr uint32_t kSlowTransferBytesPerSecond = 1024;
inline constexpr float kSlowTransferSeconds = 30.f;
// No byte for this long (or no connection) fails one of the program's downloads; never a limit on the whole
// transfer, which the byte caps bound.
inline constexpr uint32_t kDownloadStallSeconds = 10;

// Zip archives (packages, the interface pack, the updater), checked from the central directory before a byte is
// written; each entry is cut again while it is written if it inflates past its declared size.
// Entries of one archive: a zip without the 64-bit extension holds at most 65,535.
inline constexpr int kZipEntries = 65535;
// Bytes the entries may declare in all, as a multiple of the archive's own size: movies, pictures and sounds
// barely compress, layouts and lists about five to ten times; a thousand times is zeros.
inline constexpr int64_t kZipContentRatio = 16;
// ... but a small archive of text may always unpack to this much.
inline constexpr int64_t kZipContentFloor = 64 * static_cast<int64_t>(kMiB);
// ... and no archive to more than this: twice the largest package a course list can announce.
inline constexpr int64_t kZipContentBytes = 4096 * static_cast<int64_t>(kMiB);

// Movies.
// libvlc's parse of a downloaded movie gives up after this; the waiting side allows it twice.
inline constexpr int kMovieParseMs = 10000;
// The largest picture a movie may have. The player draws into a buffer of the window's size (1280x720, the size of
// the program's own movies); full HD is still decoded in time by a classroom computer and scaled down, while a
// larger picture costs decoding work nobody sees, and past H.264's largest level the decoder shows nothing at all.
inline constexpr unsigned kMovieWidth = 1920;
inline constexpr unsigned kMovieHeight = 1080;

} // namespace engine::limits
