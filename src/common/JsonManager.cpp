#include "common/JsonManager.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include <rapidjson/error/en.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "base/InputLimits.h"
#include "base/JsonDepthLimit.h"
#include "base/Log.h"
#include "common/CommonTools.h"

namespace {

JsonManager* s_instance = nullptr;

constexpr size_t kParseStackCapacity = 1024;

// The head of the buffer a rapidjson 1.1 pool allocator is given as its first chunk. When the document owning the
// allocator goes, the allocator clears its chunks and sets this buffer's size to 0: from then on it is free.
struct PoolChunkHeader {
    size_t capacity;
    size_t size;
    void* next;
};
static_assert(RAPIDJSON_MAJOR_VERSION == 1 && RAPIDJSON_MINOR_VERSION == 1, "PoolChunkHeader mirrors rapidjson 1.1");

constexpr size_t kHugePage = 2 << 20;
constexpr size_t kSmallestArena = 64 << 10;
// Larger documents get pool chunks of their own, given back when they go.
constexpr size_t kLargestArena = 32 << 20;
constexpr size_t kArenasPerThread = 4;

// Memory for parsed documents, kept between parses: a reply lands in pages that are already there.
class ArenaCache {
public:
    ~ArenaCache() {
        // A document still alive keeps its buffer.
        for (Arena& arena : arenas) {
            if (isFree(arena)) {
                std::free(arena.memory);
            }
        }
    }

    // A free buffer of at least bytes, or null.
    void* take(size_t bytes, size_t& capacity) {
        if (bytes > kLargestArena) {
            return nullptr;
        }
        Arena* fit = nullptr;
        Arena* largest = nullptr;
        for (Arena& arena : arenas) {
            if (!isFree(arena)) {
                continue;
            }
            if (arena.bytes >= bytes && (!fit || arena.bytes < fit->bytes)) {
                fit = &arena;
            }
            if (!largest || arena.bytes > largest->bytes) {
                largest = &arena;
            }
        }
        Arena* found = fit;
        if (!found && largest) {
            std::free(largest->memory);
            *largest = make(bytes);
            found = largest;
        } else if (!found && arenas.size() < kArenasPerThread) {
            arenas.push_back(make(bytes));
            found = &arenas.back();
        }
        if (!found || !found->memory) {
            return nullptr;
        }
        capacity = found->bytes;
        return found->memory;
    }

private:
    struct Arena {
        void* memory = nullptr;
        size_t bytes = 0;
    };

    static bool isFree(const Arena& arena) {
        return !arena.memory || static_cast<const PoolChunkHeader*>(arena.memory)->size == 0;
    }

    // Its header reads free; in huge pages where the system gives them.
    static Arena make(size_t bytes) {
        const size_t align = bytes >= kHugePage ? kHugePage : 4096;
        bytes = std::max(kSmallestArena, (bytes + align - 1) / align * align);
        Arena arena;
        arena.memory = std::aligned_alloc(align, bytes);
        if (!arena.memory) {
            return Arena();
        }
        if (align == kHugePage) {
            madvise(arena.memory, bytes, MADV_HUGEPAGE);
        }
        static_cast<PoolChunkHeader*>(arena.memory)->size = 0;
        arena.bytes = bytes;
        return arena;
    }

    std::vector<Arena> arenas;
};

// Only the main thread keeps memory: its replies come one after another, while a document parsed on another thread
// may outlive that thread and with it any cache of its own.
ArenaCache& mainThreadArenas() {
    static ArenaCache arenas;
    return arenas;
}

// A document of text about this many times its size fits its arena.
constexpr size_t kArenaPerTextByte = 3;

// Container nesting of value (a scalar is 0), walked without recursion; stops counting past limit.
size_t nestingDepth(const rapidjson::Value& value, size_t limit) {
    size_t deepest = 0;
    std::vector<std::pair<const rapidjson::Value*, size_t>> pending{{&value, 1}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        if (node->IsArray()) {
            for (const auto& element : node->GetArray()) {
                pending.emplace_back(&element, depth + 1);
            }
        } else if (node->IsObject()) {
            for (const auto& member : node->GetObject()) {
                pending.emplace_back(&member.value, depth + 1);
            }
        } else {
            continue;
        }
        if (depth > deepest) {
            deepest = depth;
            if (deepest > limit) {
                break;
            }
        }
    }
    return deepest;
}

// The members of a course-list item, in the order the server sends them. A code of the package's identify that is
// there but no integer ("abc", 1.5, 99999999999) reads -1, which makes no identify, so the lecture is refused
// rather than taken for lecture 0.
struct CoursewareField {
    const char* key;
    int CoursewareData::*number;
    std::string CoursewareData::*text;
    bool identifyCode = false;
};

const CoursewareField kCoursewareFields[] = {
    {"id", &CoursewareData::CoursewareId, nullptr},
    {"type", &CoursewareData::CourseCode, nullptr, true},
    {"subject", &CoursewareData::SubjectCode, nullptr, true},
    {"grade", &CoursewareData::GradeCode, nullptr, true},
    {"phase", &CoursewareData::StageCode, nullptr, true},
    {"lesson", &CoursewareData::LectureCode, nullptr, true},
    {"hash", nullptr, &CoursewareData::Hash},
    {"name", nullptr, &CoursewareData::LectureName},
    {"url", nullptr, &CoursewareData::Url},
    {"size", &CoursewareData::ResSize, nullptr},
    {"version", nullptr, &CoursewareData::Version},
    {"text1", nullptr, &CoursewareData::text1},
};

constexpr size_t kNoField = static_cast<size_t>(-1);

bool nameIs(const rapidjson::Value& name, const char* key) {
    const size_t length = std::strlen(key);
    return name.GetStringLength() == length && std::memcmp(name.GetString(), key, length) == 0;
}

// The field named name, trying first first; kNoField for a member that is not read.
size_t findCoursewareField(const rapidjson::Value& name, size_t first) {
    const size_t count = std::size(kCoursewareFields);
    for (size_t i = 0; i < count; ++i) {
        const size_t field = (first + i) % count;
        if (nameIs(name, kCoursewareFields[field].key)) {
            return field;
        }
    }
    return kNoField;
}

} // namespace

JsonManager* JsonManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) JsonManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

rapidjson::Document JsonManager::parse(const std::string& text) const {
    // Its own pool allocator; its first chunk is a kept arena when one is free, further chunks grow by 64 KB.
    rapidjson::Document document(nullptr, kParseStackCapacity);
    size_t capacity = 0;
    void* arena = engine::isMainThread() ? mainThreadArenas().take(text.size() * kArenaPerTextByte, capacity) : nullptr;
    if (arena) {
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
    bool tooDeep = false;
    // The depth is checked as containers open, so the recursive reader never goes deeper than
    // engine::limits::kReplyJsonDepth + 1.
    rapidjson::ParseResult result;
    auto readInto = [&](rapidjson::Document& target) {
        rapidjson::InsituStringStream stream(copy);
        engine::JsonDepthLimit<rapidjson::Document> handler(target, engine::limits::kReplyJsonDepth, tooDeep);
        rapidjson::Reader reader;
        result = reader.Parse<rapidjson::kParseInsituFlag>(stream, handler);
        return !result.IsError();
    };
    document.Populate(readInto);
    if (tooDeep) {
        engine::log("error json depth: more than %zu levels", engine::limits::kReplyJsonDepth);
        document.SetNull();
    } else if (result.IsError()) {
        engine::log("error json parse: %s (offset %zu)", rapidjson::GetParseError_En(result.Code()), result.Offset());
        document.SetNull();
    }
    return document;
}

std::string JsonManager::toString(const rapidjson::Value& value) const {
    if (nestingDepth(value, engine::limits::kReplyJsonDepth) > engine::limits::kReplyJsonDepth) {
        engine::log("error json depth: more than %zu levels", engine::limits::kReplyJsonDepth);
        return "";
    }
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

const rapidjson::Value* JsonManager::findMember(const rapidjson::Value& object, const std::string& key) {
    if (!object.IsObject()) {
        engine::log("error json object: %s", key.c_str());
        return nullptr;
    }
    auto it = object.FindMember(rapidjson::StringRef(key.data(), key.size()));
    if (it == object.MemberEnd() || it->value.IsNull()) {
        return nullptr;
    }
    return &it->value;
}

int JsonManager::getInt(const rapidjson::Value& object, const std::string& key) const {
    const rapidjson::Value* member = findMember(object, key);
    if (!member) {
        return 0;
    }
    if (!member->IsInt()) {
        engine::log("error json int: %s", key.c_str());
        return 0;
    }
    return member->GetInt();
}

int JsonManager::getIntOrText(const rapidjson::Value& object, const std::string& key) const {
    const rapidjson::Value* member = findMember(object, key);
    if (member && member->IsString()) {
        std::vector<int> value;
        CommonTools::getInstance()->splitToInt(std::string(member->GetString(), member->GetStringLength()), value, "");
        return value.empty() ? 0 : value.front();
    }
    return getInt(object, key);
}

std::string JsonManager::getString(const rapidjson::Value& object, const std::string& key) const {
    const rapidjson::Value* member = findMember(object, key);
    if (!member) {
        return "";
    }
    if (!member->IsString()) {
        engine::log("error json string: %s", key.c_str());
        return "";
    }
    return std::string(member->GetString(), member->GetStringLength());
}

const rapidjson::Value* JsonManager::getArray(const rapidjson::Value& object, const std::string& key) const {
    const rapidjson::Value* member = findMember(object, key);
    if (member && !member->IsArray()) {
        engine::log("error json array: %s", key.c_str());
        return nullptr;
    }
    return member;
}

const rapidjson::Value* JsonManager::asArray(const rapidjson::Value& value, const std::string& what) const {
    if (value.IsArray()) {
        return &value;
    }
    if (!value.IsNull()) {
        engine::log("error json array: %s", what.c_str());
    }
    return nullptr;
}

void JsonManager::logNotAnObject(const std::string& what) {
    engine::log("error json item: %s", what.c_str());
}

CoursewareData JsonManager::readCourseware(const rapidjson::Value& item) const {
    CoursewareData data;
    if (!item.IsObject()) {
        engine::log("error courseware item");
        return data;
    }
    data.SubjectCode = 0;
    // One walk over the item's members instead of a search per field; the first member of a name counts, as with
    // getInt and getString. The server sends the fields in table order, so the next field is tried first.
    bool seen[std::size(kCoursewareFields)] = {};
    size_t next = 0;
    for (const auto& member : item.GetObject()) {
        const size_t field = findCoursewareField(member.name, next);
        if (field == kNoField || seen[field]) {
            continue;
        }
        seen[field] = true;
        next = field + 1;
        const CoursewareField& f = kCoursewareFields[field];
        const rapidjson::Value& value = member.value;
        if (value.IsNull()) {
            continue;
        }
        if (f.number) {
            if (value.IsInt()) {
                data.*f.number = value.GetInt();
            } else {
                engine::log("error json int: %s", f.key);
                if (f.identifyCode) {
                    data.*f.number = -1;
                }
            }
        } else if (value.IsString()) {
            (data.*f.text).assign(value.GetString(), value.GetStringLength());
        } else {
            engine::log("error json string: %s", f.key);
        }
    }
    return data;
}

SimpleGameItem JsonManager::readQuestion(const rapidjson::Value& item) const {
    SimpleGameItem question;
    if (!item.IsObject()) {
        engine::log("error question item");
        return question;
    }
    question.id = getIntOrText(item, "id");
    question.title = textOf(findMember(item, "title"), "title");
    question.music = textOf(findMember(item, "music"), "music");
    question.lookImg = textOf(findMember(item, "lookImg"), "lookImg");
    readStrings(item, "contImgs", question.contImgs);
    readStrings(item, "operImgs", question.operImgs);
    readStrings(item, "answers", question.answers);
    return question;
}

void JsonManager::readStrings(const rapidjson::Value& object, const char* key, std::vector<std::string>& out) const {
    out.clear();
    const rapidjson::Value* array = getArray(object, key);
    if (!array) {
        return;
    }
    for (const auto& element : array->GetArray()) {
        out.push_back(textOf(&element, key));
    }
}

std::string JsonManager::textOf(const rapidjson::Value* value, const char* key) {
    if (!value || value->IsNull()) {
        return "";
    }
    if (value->IsString()) {
        return std::string(value->GetString(), value->GetStringLength());
    }
    if (value->IsInt64()) {
        return std::to_string(value->GetInt64());
    }
    if (value->IsUint64()) {
        return std::to_string(value->GetUint64());
    }
    if (value->IsDouble()) {
        char text[32];
        std::snprintf(text, sizeof text, "%.15g", value->GetDouble());
        return text;
    }
    engine::log("error json string in %s", key);
    return "";
}
