// Limits on what the program's own protocol brings: the request service's replies, lecture packages, the interface
// pack, the updater, the zip archives they come in and the movies of lessons. Each line says what the limit bounds and
// why that number; docs/input-limits.md says where each input enters and what happens past it. The engine's own
// limits (pictures, sounds, text, layouts, property lists, transfers) are in engine/base/InputLimits.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/InputLimits.h"

namespace netlimits {

using engine::limits::kMiB;

// Replies of the request service.
// Bytes of one reply: no request of the interface comes near it.
inline constexpr size_t kReplyBytes = 16 * kMiB;
// Nesting of a reply: the deepest, the course permissions, is nine levels; the reader recurses once a level.
inline constexpr size_t kReplyDepth = engine::limits::kReplyJsonDepth;
// Items of any list or members of any object of a reply: the longest list of the interface, a school's classes,
// is a few hundred. Past it the reply is refused (a reply of 16 MiB could hold eight million tiny items).
inline constexpr size_t kReplyItems = 10000;
// Pupils of one class (a class of the schools served is at most about 70; a whole grade sent as one class a few
// hundred). Past it the class is refused rather than signed in with pupils missing.
inline constexpr size_t kClassPupils = 500;
// Bytes of all the heads kept for one class on disk: 500 pupils with heads of 256 KiB; a photo of 1024 a side as
// PNG is 1-3 MiB, so forty of them fit. Each head alone is bounded by limits::kPictureBytes. Heads past it show the
// default head and are removed.
inline constexpr uint64_t kClassHeadBytes = 128 * kMiB;
// Items of each list of the course permissions (course types, their subjects, grades, phases): a dozen each. Past it
// the list is cut.
inline constexpr size_t kCourseItems = 200;
// Lectures of one grade's course list: four phases of forty lectures are 160. Past it the list is cut.
inline constexpr size_t kLectureItems = 1000;
// Questions of one lecture, and the pictures and answers of each: tens of questions, a few options. Past it the list
// is cut.
inline constexpr size_t kQuestionItems = 200;
// Entries of the course icon list, each with three icons to fetch and check: the program's own has 12. Past it the
// list is cut.
inline constexpr size_t kIconItems = 64;

// Downloads. Every single-file download has a cap by what it fetches, enforced during the transfer.
// A movie of a lesson's file list (the opening video), or a file of a kind not named here: a 720p movie at
// 5 Mbit/s for 25 minutes is under it.
inline constexpr uint64_t kMovieBytes = 1024 * kMiB;
// The interface pack: the program's own pictures and layouts are 4 MiB; a pack that replaces them all at a higher
// resolution stays far below it.
inline constexpr uint64_t kInterfacePackBytes = 256 * kMiB;
// The updater package: the program with its libraries is tens of MiB.
inline constexpr uint64_t kUpdaterBytes = 512 * kMiB;
// A package may come this much longer than the course list's "size" says (a quarter more, at least this).
inline constexpr uint64_t kPackageMargin = 4 * kMiB;
// A package whose record gives no size: the most a record's "size" can say.
inline constexpr uint64_t kPackageWithoutSize = 2048 * kMiB;

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

} // namespace netlimits
