// Hostile zip archives, written byte by byte (stored or deflated entries, holes, the 64-bit end record for many
// entries), and their runners through the archive door.
#pragma once

#include <cstdint>

#include "hostile/HostileRow.h"

namespace hostile {

// That many stored empty entries of one name: one file written, every entry read.
Make zipOfEntries(int count);
// One deflated entry of that many zeros in an archive of a few KB: only the content floor decides.
Make zipOfZeros(int64_t bytes);
// Contents exactly the content ratio times the archive's own size, plus extra bytes, past the floor.
Make zipAtRatio(int extra);
// A 300 MiB archive, a hole of zeros stored, whose entries declare total bytes in all: only the ceiling decides.
Make sparseZipDeclaring(int64_t total);
// One stored entry of 100,000 bytes declaring that many more than it holds.
Make zipDeclaringMore(int extra);

// ZipUnpacker::extract of an interface pack into a folder beside the sample: passes when extracted, refused when
// it failed before an entry was written, bounded when it was cut after some were.
Run extractArchive();
// The same with every entry streamed through zlib rather than inflated in memory.
Run extractStreamed();

} // namespace hostile
