#include "net/ReplyDoor.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include "base/Log.h"
#include "net/NetLimits.h"
#include "net/ReplyArenas.h"

namespace ReplyDoor {

namespace {

constexpr size_t kParseStackCapacity = 1024;
// A document of text about this many times its size fits its arena.
constexpr size_t kArenaPerTextByte = 3;

bool cutsLists(Kind kind) {
    return kind != Kind::OTHER && kind != Kind::CLASS;
}

// Passes the reader's events on to the document while it counts nesting and the items of each open list. A list
// item past the cap is skipped whole where the kind cuts, or stops the parse.
class CountingHandler {
public:
    CountingHandler(rapidjson::Document& target, Kind kind)
        : target(target), cap(listCap(kind)), cuts(cutsLists(kind)) {
        open.reserve(16);
    }

    bool Null() {
        return scalar([&] { return target.Null(); });
    }
    bool Bool(bool b) {
        return scalar([&] { return target.Bool(b); });
    }
    bool Int(int i) {
        return scalar([&] { return target.Int(i); });
    }
    bool Uint(unsigned u) {
        return scalar([&] { return target.Uint(u); });
    }
    bool Int64(int64_t i) {
        return scalar([&] { return target.Int64(i); });
    }
    bool Uint64(uint64_t u) {
        return scalar([&] { return target.Uint64(u); });
    }
    bool Double(double d) {
        return scalar([&] { return target.Double(d); });
    }
    bool RawNumber(const char* s, rapidjson::SizeType n, bool copy) {
        return scalar([&] { return target.RawNumber(s, n, copy); });
    }
    bool String(const char* s, rapidjson::SizeType n, bool copy) {
        return scalar([&] { return target.String(s, n, copy); });
    }
    bool Key(const char* s, rapidjson::SizeType n, bool copy) {
        if (skipping > 0) {
            return true;
        }
        if (++open.back().items > netlimits::kReplyItems) {
            return tooMany(netlimits::kReplyItems);
        }
        return target.Key(s, n, copy);
    }
    bool StartObject() { return start(false) && (skipping > 0 || target.StartObject()); }
    bool StartArray() { return start(true) && (skipping > 0 || target.StartArray()); }
    bool EndObject(rapidjson::SizeType members) {
        if (skipping > 0) {
            --skipping;
            return true;
        }
        open.pop_back();
        return target.EndObject(members);
    }
    bool EndArray(rapidjson::SizeType) {
        if (skipping > 0) {
            --skipping;
            return true;
        }
        const size_t kept = open.back().kept;
        open.pop_back();
        return target.EndArray(static_cast<rapidjson::SizeType>(kept));
    }

    Verdict verdict = Verdict::READ;

private:
    struct Container {
        bool array = false;
        size_t items = 0;
        size_t kept = 0;
    };
    enum class Take { KEEP, SKIP, STOP };

    // Counts a value about to begin in the list that holds it.
    Take begin() {
        if (skipping > 0 || open.empty() || !open.back().array) {
            return skipping > 0 ? Take::SKIP : Take::KEEP;
        }
        Container& list = open.back();
        if (++list.items <= cap) {
            ++list.kept;
            return Take::KEEP;
        }
        if (!cuts) {
            tooMany(cap);
            return Take::STOP;
        }
        if (verdict == Verdict::READ) {
            engine::log("error reply list: more than %zu items, the rest left out", cap);
            verdict = Verdict::CUT;
        }
        return Take::SKIP;
    }

    template <class Forward> bool scalar(Forward forward) {
        switch (begin()) {
        case Take::KEEP:
            return forward();
        case Take::SKIP:
            return true;
        case Take::STOP:
            return false;
        }
        return false;
    }

    // The reader recurses once a level, skipped levels too.
    bool start(bool array) {
        const Take take = begin();
        if (take == Take::STOP) {
            return false;
        }
        if (open.size() + skipping + 1 > netlimits::kReplyDepth) {
            return stop(Verdict::TOO_DEEP);
        }
        if (take == Take::SKIP) {
            ++skipping;
        } else {
            open.push_back({array, 0, 0});
        }
        return true;
    }

    bool stop(Verdict why) {
        verdict = why;
        return false;
    }

    bool tooMany(size_t limit) {
        engine::log("error reply list: more than %zu items", limit);
        return stop(Verdict::TOO_MANY);
    }

    rapidjson::Document& target;
    const size_t cap;
    const bool cuts;
    std::vector<Container> open;
    // Levels open inside a value that is left out.
    size_t skipping = 0;
};

} // namespace

size_t listCap(Kind kind) {
    switch (kind) {
    case Kind::OTHER:
        return netlimits::kReplyItems;
    case Kind::CLASS:
        return netlimits::kClassPupils;
    case Kind::COURSES:
        return netlimits::kCourseItems;
    case Kind::LECTURES:
        return netlimits::kLectureItems;
    case Kind::QUESTIONS:
        return netlimits::kQuestionItems;
    case Kind::ICONS:
        return netlimits::kIconItems;
    }
    return netlimits::kReplyItems;
}

Kind kindOf(const std::string& requestName) {
    struct Named {
        const char* name;
        Kind kind;
    };
    static const Named kinds[] = {
        {"getStudentList", Kind::CLASS},   {"getCoursePermission", Kind::COURSES},
        {"getCourseList", Kind::LECTURES}, {"getCourseQuestionList", Kind::QUESTIONS},
        {"getCourseIcon", Kind::ICONS},
    };
    for (const Named& named : kinds) {
        if (requestName == named.name) {
            return named.kind;
        }
    }
    return Kind::OTHER;
}

Reply read(const std::string& text, Kind kind) {
    if (text.size() > netlimits::kReplyBytes) {
        engine::log("error reply: longer than %zu bytes", netlimits::kReplyBytes);
        return Reply{rapidjson::Document(), Verdict::TOO_LONG};
    }
    // Its own pool allocator; its first chunk is a kept arena when one is free, further chunks grow by 64 KB.
    rapidjson::Document document(nullptr, kParseStackCapacity);
    size_t capacity = 0;
    if (void* arena = ReplyArenas::take(text.size() * kArenaPerTextByte, capacity)) {
        rapidjson::MemoryPoolAllocator<>& pool = document.GetAllocator();
        pool.~MemoryPoolAllocator();
        new (&pool) rapidjson::MemoryPoolAllocator<>(arena, capacity);
    }
    // Parsed in place in a copy that lives in the document's pool: its strings are not copied again.
    const size_t bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const size_t length = text.size() - bom;
    auto* copy = static_cast<char*>(document.GetAllocator().Malloc(length + 1));
    std::memcpy(copy, text.data() + bom, length);
    copy[length] = '\0';
    rapidjson::ParseResult result;
    Verdict verdict = Verdict::READ;
    auto readInto = [&](rapidjson::Document& target) {
        rapidjson::InsituStringStream stream(copy);
        CountingHandler handler(target, kind);
        rapidjson::Reader reader;
        result = reader.Parse<rapidjson::kParseInsituFlag>(stream, handler);
        verdict = handler.verdict;
        return !result.IsError();
    };
    document.Populate(readInto);
    if (!result.IsError()) {
        return Reply{std::move(document), verdict};
    }
    document.SetNull();
    if (verdict == Verdict::TOO_DEEP) {
        engine::log("error json depth: more than %zu levels", netlimits::kReplyDepth);
    } else if (verdict != Verdict::TOO_MANY) {
        verdict = Verdict::NOT_JSON;
        engine::log("error json parse: %s (offset %zu)", rapidjson::GetParseError_En(result.Code()), result.Offset());
    }
    return Reply{std::move(document), verdict};
}

rapidjson::Document parse(const std::string& text, Kind kind) {
    return std::move(read(text, kind).document);
}

} // namespace ReplyDoor
