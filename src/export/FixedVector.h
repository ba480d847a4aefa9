// A vector of at most N elements kept in place: the corners of a face, three or four. A model of
// 200,000 faces would otherwise make as many heap blocks, and walk them all again to free them;
// allocating and freeing them cost more than the walk that reads the faces. The storage of
// elements not yet added is left as it is, so that making a face does not clear four corners.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <new>
#include <stdexcept>
#include <type_traits>

namespace vexlor {

template <typename T, size_t N>
class FixedVector {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    static_assert(N > 0 && N < 256);

  public:
    FixedVector() = default;
    FixedVector(std::initializer_list<T> items) { *this = items; }
    FixedVector& operator=(std::initializer_list<T> items) {
        clear();
        for (const T& item : items)
            push_back(item);
        return *this;
    }

    static constexpr size_t capacity() { return N; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    bool full() const { return size_ == N; }
    T* data() { return reinterpret_cast<T*>(storage_); }
    const T* data() const { return reinterpret_cast<const T*>(storage_); }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    T& operator[](size_t i) { return data()[i]; }
    const T& operator[](size_t i) const { return data()[i]; }

    // Adding to a full vector throws std::length_error.
    T& emplace_back() {
        if (full()) throw std::length_error("FixedVector is full");
        return *new (storage_ + sizeof(T) * size_++) T{};
    }
    void push_back(const T& item) { emplace_back() = item; }
    void resize(size_t n) {
        if (n > N) throw std::length_error("FixedVector is full");
        while (size_ < n)
            emplace_back();
        size_ = static_cast<uint8_t>(n);
    }
    void clear() { size_ = 0; }

  private:
    alignas(T) unsigned char storage_[sizeof(T) * N];
    uint8_t size_ = 0;
};

}  // namespace vexlor
