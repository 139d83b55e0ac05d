// Hostile replies and their runner.
#pragma once

#include <cstddef>

#include "hostile/HostileRow.h"
#include "net/ReplyDoor.h"

namespace hostile {

// {"code":0,"status":0,"data":<value>} with the value nested depth levels.
Make replyNested(size_t depth);
// A reply of exactly bytes: a string fills it out.
Make replyOfBytes(size_t bytes);
// A reply whose data is a list of items small objects.
Make replyListOf(size_t items);
// A class reply of pupils without pictures.
Make classOfPupils(size_t pupils);
// Parses the sample as a reply of kind: PASSES when read whole, BOUNDED when a list was cut, REFUSED otherwise.
Run parseReply(ReplyDoor::Kind kind);

} // namespace hostile
