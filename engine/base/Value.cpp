#include "base/Value.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace engine {

namespace {

// Function-local so that lookups made during static initialisation of other files are safe.
const ValueVector& emptyVector() {
    static const ValueVector empty;
    return empty;
}

const ValueMap& emptyMap() {
    static const ValueMap empty;
    return empty;
}

int clampToInt(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (v <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}

// atoi without its undefined behaviour on overflow.
int textToInt(const std::string& text) {
    long v = std::strtol(text.c_str(), nullptr, 10);
    if (v > INT_MAX) {
        return INT_MAX;
    }
    if (v < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}

template <typename Real> std::string shortestText(Real v) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), v);
    return std::string(buffer, result.ptr);
}

} // namespace

// Other files' statics may read Null while they start. GCC makes it at compile time; clang 14 cannot evaluate
// libstdc++'s empty string there, so with clang it comes first among the initializers at start-up instead.
#if defined(__clang__)
__attribute__((init_priority(101))) const Value Value::Null;
#else
constinit const Value Value::Null;
#endif
const ValueVector ValueVectorNull;
const ValueMap ValueMapNull;

Value::Value(int v) : _type(Type::INTEGER), _int(v) {}
Value::Value(unsigned int v) : _type(Type::INTEGER), _int(static_cast<int>(v)) {}
Value::Value(float v) : _type(Type::FLOAT), _float(v) {}
Value::Value(double v) : _type(Type::DOUBLE), _double(v) {}
Value::Value(bool v) : _type(Type::BOOLEAN), _bool(v) {}

Value::Value(const char* v) : _int(0) {
    if (v) {
        _type = Type::STRING;
        _string = v;
    }
}

Value::Value(const std::string& v) : _type(Type::STRING), _int(0), _string(v) {}
Value::Value(std::string&& v) : _type(Type::STRING), _int(0), _string(std::move(v)) {}
Value::Value(const ValueVector& v) : _type(Type::VECTOR), _int(0), _vector(std::make_unique<ValueVector>(v)) {}
Value::Value(ValueVector&& v) : _type(Type::VECTOR), _int(0), _vector(std::make_unique<ValueVector>(std::move(v))) {}
Value::Value(const ValueMap& v) : _type(Type::MAP), _int(0), _map(std::make_unique<ValueMap>(v)) {}
Value::Value(ValueMap&& v) : _type(Type::MAP), _int(0), _map(std::make_unique<ValueMap>(std::move(v))) {}

Value::Value(const Value& other) : _int(0) {
    copyFrom(other);
}
Value::Value(Value&& other) noexcept : _int(0) {
    moveFrom(other);
}
Value::~Value() = default;

Value& Value::operator=(const Value& other) {
    if (this != &other) {
        // Copy first: other may live inside one of our own containers.
        Value copy(other);
        clear();
        moveFrom(copy);
    }
    return *this;
}

Value& Value::operator=(Value&& other) noexcept {
    if (this != &other) {
        Value taken(std::move(other));
        clear();
        moveFrom(taken);
    }
    return *this;
}

void Value::clear() {
    _type = Type::NONE;
    _int = 0;
    _string.clear();
    _vector.reset();
    _map.reset();
}

void Value::copyFrom(const Value& other) {
    _type = other._type;
    switch (other._type) {
    case Type::NONE:
        break;
    case Type::INTEGER:
        _int = other._int;
        break;
    case Type::FLOAT:
        _float = other._float;
        break;
    case Type::DOUBLE:
        _double = other._double;
        break;
    case Type::BOOLEAN:
        _bool = other._bool;
        break;
    case Type::STRING:
        _string = other._string;
        break;
    case Type::VECTOR:
        _vector = std::make_unique<ValueVector>(*other._vector);
        break;
    case Type::MAP:
        _map = std::make_unique<ValueMap>(*other._map);
        break;
    }
}

void Value::moveFrom(Value& other) noexcept {
    _type = other._type;
    _double = 0;
    switch (other._type) {
    case Type::INTEGER:
        _int = other._int;
        break;
    case Type::FLOAT:
        _float = other._float;
        break;
    case Type::DOUBLE:
        _double = other._double;
        break;
    case Type::BOOLEAN:
        _bool = other._bool;
        break;
    default:
        break;
    }
    _string = std::move(other._string);
    _vector = std::move(other._vector);
    _map = std::move(other._map);
    other.clear();
}

bool Value::operator==(const Value& other) const {
    if (_type != other._type) {
        return false;
    }
    switch (_type) {
    case Type::NONE:
        return true;
    case Type::INTEGER:
        return _int == other._int;
    case Type::FLOAT:
        return _float == other._float;
    case Type::DOUBLE:
        return _double == other._double;
    case Type::BOOLEAN:
        return _bool == other._bool;
    case Type::STRING:
        return _string == other._string;
    case Type::VECTOR:
        return *_vector == *other._vector;
    case Type::MAP:
        return *_map == *other._map;
    }
    return false;
}

int Value::asInt() const {
    switch (_type) {
    case Type::INTEGER:
        return _int;
    case Type::FLOAT:
        return clampToInt(_float);
    case Type::DOUBLE:
        return clampToInt(_double);
    case Type::BOOLEAN:
        return _bool ? 1 : 0;
    case Type::STRING:
        return textToInt(_string);
    default:
        return 0;
    }
}

float Value::asFloat() const {
    return static_cast<float>(asDouble());
}

double Value::asDouble() const {
    switch (_type) {
    case Type::INTEGER:
        return _int;
    case Type::FLOAT:
        return _float;
    case Type::DOUBLE:
        return _double;
    case Type::STRING:
        return std::strtod(_string.c_str(), nullptr);
    default:
        return 0;
    }
}

bool Value::asBool() const {
    switch (_type) {
    case Type::INTEGER:
        return _int != 0;
    case Type::FLOAT:
        return _float != 0;
    case Type::DOUBLE:
        return _double != 0;
    case Type::BOOLEAN:
        return _bool;
    case Type::STRING:
        return !(_string.empty() || _string == "0" || _string == "false");
    default:
        return false;
    }
}

std::string Value::asString() const {
    switch (_type) {
    case Type::INTEGER:
        return std::to_string(_int);
    case Type::FLOAT:
        return shortestText(_float);
    case Type::DOUBLE:
        return shortestText(_double);
    case Type::BOOLEAN:
        return _bool ? "true" : "false";
    case Type::STRING:
        return _string;
    default:
        return "";
    }
}

const ValueVector& Value::asValueVector() const {
    return _type == Type::VECTOR ? *_vector : emptyVector();
}

const ValueMap& Value::asValueMap() const {
    return _type == Type::MAP ? *_map : emptyMap();
}

const Value& valueOrNull(const ValueMap& map, const std::string& key) {
    auto it = map.find(key);
    return it == map.end() ? Value::Null : it->second;
}

} // namespace engine
