// Each limit has a row at its cap that must pass and one just past it that must not; each sample passes every other
// limit and exceeds only its own, so any one limit undone, moved by one or multiplied fails its row. The makers and
// runners of each door are in samples/.
#include "hostile/HostileTable.h"

#include "hostile/samples/PictureSamples.h"
#include "hostile/samples/ReplySamples.h"
#include "net/NetLimits.h"

namespace hostile {

const std::vector<Row>& table() {
    using enum Outcome;
    using enum ReplyDoor::Kind;
    constexpr ReplyDoor::Kind OTHER_REPLY = ReplyDoor::Kind::OTHER;
    static const std::vector<Row> rows = {
        // Pictures.
        {"picture.side.at", "engine::ImageDecoder::load", pngOfSide(4096, 1), decodePicture(), PASSES},
        {"picture.side.past", "engine::ImageDecoder::load", pngOfSide(4097, 1), decodePicture(), REFUSED},

        // Sounds.

        // Text.

        // Layouts and property lists.

        // Kept files.

        // Replies.
        {"reply.nesting.at", "ReplyDoor::read", replyNested(netlimits::kReplyDepth), parseReply(OTHER_REPLY), PASSES},
        {"reply.nesting.past", "ReplyDoor::read", replyNested(netlimits::kReplyDepth + 1), parseReply(OTHER_REPLY),
         REFUSED},
        {"reply.bytes.at", "ReplyDoor::read", replyOfBytes(netlimits::kReplyBytes), parseReply(OTHER_REPLY), PASSES},
        {"reply.bytes.past", "ReplyDoor::read", replyOfBytes(netlimits::kReplyBytes + 1), parseReply(OTHER_REPLY),
         REFUSED},
        {"reply.items.at", "ReplyDoor::read", replyListOf(netlimits::kReplyItems), parseReply(OTHER_REPLY), PASSES},
        {"reply.items.past", "ReplyDoor::read", replyListOf(netlimits::kReplyItems + 1), parseReply(OTHER_REPLY),
         REFUSED},
        {"class.pupils.at", "ReplyDoor::read", classOfPupils(netlimits::kClassPupils), parseReply(CLASS), PASSES},
        {"class.pupils.past", "ReplyDoor::read", classOfPupils(netlimits::kClassPupils + 1), parseReply(CLASS),
         REFUSED},
        {"class.pupils.12000", "ReplyDoor::read", classOfPupils(12000), parseReply(CLASS), REFUSED},
        {"courses.items.at", "ReplyDoor::read", replyListOf(netlimits::kCourseItems), parseReply(COURSES), PASSES},
        {"courses.items.past", "ReplyDoor::read", replyListOf(netlimits::kCourseItems + 1), parseReply(COURSES),
         BOUNDED},
        {"lectures.items.at", "ReplyDoor::read", replyListOf(netlimits::kLectureItems), parseReply(LECTURES), PASSES},
        {"lectures.items.past", "ReplyDoor::read", replyListOf(netlimits::kLectureItems + 1), parseReply(LECTURES),
         BOUNDED},
        {"questions.items.at", "ReplyDoor::read", replyListOf(netlimits::kQuestionItems), parseReply(QUESTIONS),
         PASSES},
        {"questions.items.past", "ReplyDoor::read", replyListOf(netlimits::kQuestionItems + 1), parseReply(QUESTIONS),
         BOUNDED},
        {"icons.items.at", "ReplyDoor::read", replyListOf(netlimits::kIconItems), parseReply(ICONS), PASSES},
        {"icons.items.past", "ReplyDoor::read", replyListOf(netlimits::kIconItems + 1), parseReply(ICONS), BOUNDED},

        // Archives.

        // Downloads.

        // Movies.
    };
    return rows;
}

} // namespace hostile
