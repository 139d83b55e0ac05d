// A variant for property-list data: null, numbers, bool, text, vectors and maps of values.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace engine {

class Value;

using ValueVector = std::vector<Value>;
using ValueMap = std::map<std::string, Value>;
using ValueMapIntKey = std::unordered_map<int, Value>;

// Every conversion is total: a value of another type gives 0, "" or an empty container, never a crash.
class Value {
public:
    enum class Type { NONE, INTEGER, FLOAT, DOUBLE, BOOLEAN, STRING, VECTOR, MAP };

    static const Value Null;

    constexpr Value() noexcept : _int(0) {}
    Value(int v);
    Value(unsigned int v);
    Value(float v);
    Value(double v);
    Value(bool v);
    // A null pointer gives a null value.
    Value(const char* v);
    Value(const std::string& v);
    Value(std::string&& v);
    Value(const ValueVector& v);
    Value(ValueVector&& v);
    Value(const ValueMap& v);
    Value(ValueMap&& v);

    Value(const Value& other);
    Value(Value&& other) noexcept;
    Value& operator=(const Value& other);
    Value& operator=(Value&& other) noexcept;
    ~Value();

    // Same type and same content; an INTEGER 5 and a DOUBLE 5.0 differ.
    bool operator==(const Value& other) const;
    bool operator!=(const Value& other) const { return !(*this == other); }

    Type getType() const { return _type; }
    bool isNull() const { return _type == Type::NONE; }

    // Text by atoi, a real truncated, a bool 0/1; anything else 0.
    int asInt() const;
    // Integer or real; text by atof; anything else 0.
    float asFloat() const;
    double asDouble() const;
    // Text "", "0" and "false" are false; numbers are true when not 0; null and containers are false.
    bool asBool() const;
    // Integers in decimal, reals in shortest round-trip form ("0.5", "5"), bools "true"/"false";
    // null and containers give "".
    std::string asString() const;
    // An empty container for a value of any other type.
    const ValueVector& asValueVector() const;
    const ValueMap& asValueMap() const;

private:
    void clear();
    void copyFrom(const Value& other);
    void moveFrom(Value& other) noexcept;

    Type _type = Type::NONE;
    union {
        int _int;
        float _float;
        double _double;
        bool _bool;
    };
    std::string _string;
    std::unique_ptr<ValueVector> _vector;
    std::unique_ptr<ValueMap> _map;
};

extern const ValueVector ValueVectorNull;
extern const ValueMap ValueMapNull;

// The value stored under key, or Value::Null; never inserts into the map.
const Value& valueOrNull(const ValueMap& map, const std::string& key);

} // namespace engine
