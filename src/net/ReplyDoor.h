// The one reader of reply text from outside: the server's replies and the records an earlier run kept. Each parse
// bounds the reply's bytes, its nesting and the items of every list by the kind of reply, counting as it reads.
#pragma once

#include <cstddef>
#include <string>

#include <rapidjson/document.h>

namespace ReplyDoor {

// What a reply holds, for the cap of its lists and what happens past it.
enum class Kind {
    OTHER,     // any list up to netlimits::kReplyItems, refused past it
    CLASS,     // the pupils of a class: netlimits::kClassPupils, refused past it
    COURSES,   // the course permissions: netlimits::kCourseItems a list, cut
    LECTURES,  // a grade's course list: netlimits::kLectureItems, cut
    QUESTIONS, // a lecture's questions and their files: netlimits::kQuestionItems a list, cut
    ICONS,     // the course icon list: netlimits::kIconItems a list, cut
};

enum class Verdict {
    READ,
    CUT, // read, with the items of a list past its cap left out
    NOT_JSON,
    TOO_LONG, // more than netlimits::kReplyBytes
    TOO_DEEP, // nested deeper than netlimits::kReplyDepth
    TOO_MANY, // a list or object with more items than its kind allows
};

struct Reply {
    rapidjson::Document document; // null unless READ or CUT
    Verdict verdict = Verdict::NOT_JSON;
    bool usable() const { return verdict == Verdict::READ || verdict == Verdict::CUT; }
};

// Parses text (a leading UTF-8 mark skipped) as a reply of kind; each refusal and cut is logged. The document's
// strings live in its own memory, which later parses on the main thread reuse once it is gone: a value copied into
// another document (whose copy keeps such strings by reference) must not outlive it.
Reply read(const std::string& text, Kind kind);
// The document of read, null when refused.
rapidjson::Document parse(const std::string& text, Kind kind = Kind::OTHER);
// The kind of the reply to a request of that name.
Kind kindOf(const std::string& requestName);
// The most items one list of a reply of kind may hold.
size_t listCap(Kind kind);

} // namespace ReplyDoor
