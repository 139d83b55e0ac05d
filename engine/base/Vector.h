// A std::vector of Ref objects that holds a reference to each element.
#pragma once

#include <algorithm>
#include <sys/types.h>
#include <vector>

#include "base/Ref.h"

namespace engine {

template <class T> class Vector {
public:
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    Vector() = default;
    Vector(const Vector& other) : _data(other._data) { retainAll(); }
    Vector(Vector&& other) noexcept : _data(std::move(other._data)) { other._data.clear(); }
    ~Vector() { clear(); }
    Vector& operator=(const Vector& other) {
        if (this != &other) {
            Vector copy(other);
            swap(copy);
        }
        return *this;
    }
    Vector& operator=(Vector&& other) noexcept {
        if (this != &other) {
            clear();
            _data = std::move(other._data);
            other._data.clear();
        }
        return *this;
    }

    void pushBack(T object) {
        if (object) {
            object->retain();
            _data.push_back(object);
        }
    }
    void insert(size_t index, T object) {
        if (object) {
            object->retain();
            _data.insert(_data.begin() + static_cast<std::ptrdiff_t>(std::min(index, _data.size())), object);
        }
    }
    void eraseObject(T object) {
        auto it = std::find(_data.begin(), _data.end(), object);
        if (it != _data.end()) {
            _data.erase(it);
            object->release();
        }
    }
    void erase(size_t index) {
        if (index < _data.size()) {
            T object = _data[index];
            _data.erase(_data.begin() + static_cast<std::ptrdiff_t>(index));
            object->release();
        }
    }
    void clear() {
        std::vector<T> old;
        old.swap(_data);
        for (T object : old) {
            object->release();
        }
    }
    void swap(Vector& other) noexcept { _data.swap(other._data); }

    T at(size_t index) const { return index < _data.size() ? _data[index] : nullptr; }
    T front() const { return _data.empty() ? nullptr : _data.front(); }
    T back() const { return _data.empty() ? nullptr : _data.back(); }
    bool contains(T object) const { return std::find(_data.begin(), _data.end(), object) != _data.end(); }
    ssize_t getIndex(T object) const {
        auto it = std::find(_data.begin(), _data.end(), object);
        return it == _data.end() ? -1 : static_cast<ssize_t>(it - _data.begin());
    }
    size_t size() const { return _data.size(); }
    bool empty() const { return _data.empty(); }

    iterator begin() { return _data.begin(); }
    iterator end() { return _data.end(); }
    const_iterator begin() const { return _data.begin(); }
    const_iterator end() const { return _data.end(); }
    const std::vector<T>& data() const { return _data; }

private:
    void retainAll() {
        for (T object : _data) {
            object->retain();
        }
    }
    std::vector<T> _data;
};

} // namespace engine
