// Memory for parsed replies, kept between parses on the main thread: a reply lands in pages that are already there.
#pragma once

#include <cstddef>

namespace ReplyArenas {

// A free buffer of at least bytes for the first chunk of a rapidjson 1.1 pool allocator, with its capacity; null
// off the main thread, for a reply larger than the largest arena, or when none can be had. The buffer is free
// again once the document whose allocator holds it has gone.
void* take(size_t bytes, size_t& capacity);

} // namespace ReplyArenas
