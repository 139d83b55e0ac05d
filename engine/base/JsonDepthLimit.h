// A RapidJSON handler that passes the reader's events on to a target (a document) and stops the parse once
// containers nest deeper than a limit, so the recursive reader never goes deeper than limit + 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <rapidjson/document.h>
#include <rapidjson/encodedstream.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

namespace engine {

template <class Target> class JsonDepthLimit {
public:
    JsonDepthLimit(Target& target, size_t limit, bool& tooDeep) : target(target), limit(limit), tooDeep(tooDeep) {}

    bool Null() { return target.Null(); }
    bool Bool(bool b) { return target.Bool(b); }
    bool Int(int i) { return target.Int(i); }
    bool Uint(unsigned u) { return target.Uint(u); }
    bool Int64(int64_t i) { return target.Int64(i); }
    bool Uint64(uint64_t u) { return target.Uint64(u); }
    bool Double(double d) { return target.Double(d); }
    bool RawNumber(const char* s, rapidjson::SizeType n, bool copy) { return target.RawNumber(s, n, copy); }
    bool String(const char* s, rapidjson::SizeType n, bool copy) { return target.String(s, n, copy); }
    bool Key(const char* s, rapidjson::SizeType n, bool copy) { return target.Key(s, n, copy); }
    bool StartObject() { return open() && target.StartObject(); }
    bool EndObject(rapidjson::SizeType members) {
        --depth;
        return target.EndObject(members);
    }
    bool StartArray() { return open() && target.StartArray(); }
    bool EndArray(rapidjson::SizeType elements) {
        --depth;
        return target.EndArray(elements);
    }

private:
    bool open() {
        if (++depth > limit) {
            tooDeep = true;
            return false;
        }
        return true;
    }

    Target& target;
    size_t limit;
    bool& tooDeep;
    size_t depth = 0;
};

// Fills document from UTF-8 text (NUL bytes included); tooDeep tells a refused nesting from a syntax error. On
// failure the document is left as it was.
inline rapidjson::ParseResult parseJsonWithDepthLimit(rapidjson::Document& document, const std::string& text,
                                                      size_t limit, bool& tooDeep) {
    tooDeep = false;
    rapidjson::ParseResult result;
    auto readInto = [&](rapidjson::Document& target) {
        rapidjson::MemoryStream bytes(text.data(), text.size());
        rapidjson::EncodedInputStream<rapidjson::UTF8<>, rapidjson::MemoryStream> stream(bytes);
        JsonDepthLimit<rapidjson::Document> handler(target, limit, tooDeep);
        rapidjson::Reader reader;
        result = reader.Parse(stream, handler);
        return !result.IsError();
    };
    document.Populate(readInto);
    return result;
}

} // namespace engine
