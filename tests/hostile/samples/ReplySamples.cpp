#include "hostile/samples/ReplySamples.h"

#include <fstream>
#include <iterator>
#include <string>

#include "door/FileDoor.h"

namespace hostile {

namespace {

const char* const kHead = R"({"code":0,"status":0,"data":)";

std::string written(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string list(size_t items, const std::string& item) {
    std::string text = "[";
    for (size_t i = 0; i < items; ++i) {
        text += (i ? "," : "") + item;
    }
    return text + "]";
}

} // namespace

Make replyNested(size_t depth) {
    return [depth](const std::string& dir) {
        // The reply object is the first level.
        const size_t inner = depth - 1;
        return written(dir + "/nested.json", kHead + std::string(inner, '[') + "1" + std::string(inner, ']') + "}");
    };
}

Make replyOfBytes(size_t bytes) {
    return [bytes](const std::string& dir) {
        const std::string head = std::string(kHead) + "\"";
        const std::string tail = "\"}";
        return written(dir + "/long.json", head + std::string(bytes - head.size() - tail.size(), 'x') + tail);
    };
}

Make replyListOf(size_t items) {
    return [items](const std::string& dir) {
        return written(dir + "/list.json", kHead + list(items, R"({"id":1,"name":"n"})") + "}");
    };
}

Make classOfPupils(size_t pupils) {
    return [pupils](const std::string& dir) {
        return written(dir + "/class.json", kHead + list(pupils, R"({"id":7,"name":"Pupil","sex":1,"pic":""})") + "}");
    };
}

Run parseReply(ReplyDoor::Kind kind) {
    return [kind](const std::string& sample) {
        // Read in one piece: a character-by-character read of 16 MiB would spend the row's budget itself.
        const std::string text = engine::door::readFile(sample, UINT64_MAX).bytes;
        const ReplyDoor::Reply reply = ReplyDoor::read(text, kind);
        if (reply.verdict == ReplyDoor::Verdict::CUT) {
            return Outcome::BOUNDED;
        }
        return reply.verdict == ReplyDoor::Verdict::READ && reply.document.IsObject() ? Outcome::PASSES
                                                                                      : Outcome::REFUSED;
    };
}

} // namespace hostile
