#pragma once
// A growing array on malloc, with the shape of std::vector where the
// program uses one (see core/text.h for why not std::vector itself).
#include <cstddef>
#include <cstdlib>
#include <initializer_list>
#include <new>
#include <type_traits>
#include <utility>

#include "core/text.h"

namespace tolvaren {

template <class T>
class List {
public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    List() noexcept = default;
    List(std::initializer_list<T> items) {
        reserve(items.size());
        for (const T& item : items) push_back(item);
    }
    List(const List& other) {
        reserve(other.size_);
        for (const T& item : other) push_back(item);
    }
    List(List&& other) noexcept { Swap(other); }
    List& operator=(List other) noexcept {
        Swap(other);
        return *this;
    }
    ~List() {
        clear();
        std::free(items_);
    }

    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    T& operator[](std::size_t at) noexcept { return items_[at]; }
    const T& operator[](std::size_t at) const noexcept { return items_[at]; }
    T& front() noexcept { return items_[0]; }
    const T& front() const noexcept { return items_[0]; }
    T& back() noexcept { return items_[size_ - 1]; }
    const T& back() const noexcept { return items_[size_ - 1]; }
    T* begin() noexcept { return items_; }
    T* end() noexcept { return items_ + size_; }
    const T* begin() const noexcept { return items_; }
    const T* end() const noexcept { return items_ + size_; }

    // `args` may name an item of this list: the new item is made before
    // the old ones move.
    template <class... Args>
    T& emplace_back(Args&&... args) {
        if (size_ < capacity_) return MakeAt(items_ + size_++, std::forward<Args>(args)...);
        const std::size_t capacity = capacity_ == 0 ? 4 : 2 * capacity_;
        T* room = Allocate(capacity);
        T& item = MakeAt(room + size_, std::forward<Args>(args)...);
        MoveTo(room, capacity);
        ++size_;
        return item;
    }
    void push_back(const T& item) { emplace_back(item); }
    void push_back(T&& item) { emplace_back(std::move(item)); }
    void pop_back() noexcept { items_[--size_].~T(); }
    void clear() noexcept {
        while (size_ > 0) pop_back();
    }
    void reserve(std::size_t capacity) {
        if (capacity > capacity_) MoveTo(Allocate(capacity), capacity);
    }
    // As std::vector's resize, new items made as T(); false, and the list
    // as it was, when the memory cannot be had.
    [[nodiscard]] bool TryResize(std::size_t count) noexcept {
        if (!TryReserve(count)) return false;
        while (size_ > count) pop_back();
        while (size_ < count) MakeAt(items_ + size_++);
        return true;
    }
    T* data() noexcept { return items_; }
    const T* data() const noexcept { return items_; }
    // reserve, but false when the memory cannot be had.
    [[nodiscard]] bool TryReserve(std::size_t capacity) noexcept {
        if (capacity <= capacity_) return true;
        if (capacity > static_cast<std::size_t>(-1) / sizeof(T)) return false;
        T* room = static_cast<T*>(std::malloc(capacity * sizeof(T)));
        if (room == nullptr) return false;
        MoveTo(room, capacity);
        return true;
    }

private:
    static T* Allocate(std::size_t capacity) {
        const std::size_t most = static_cast<std::size_t>(-1) / sizeof(T);
        return static_cast<T*>(AllocateOrGiveUp(capacity > most ? static_cast<std::size_t>(-1) : capacity * sizeof(T)));
    }
    // Aggregates (plain structs) by their members, others by a constructor.
    template <class... Args>
    static T& MakeAt(T* at, Args&&... args) {
        if constexpr (std::is_aggregate_v<T>)
            return *new (at) T{std::forward<Args>(args)...};
        else
            return *new (at) T(std::forward<Args>(args)...);
    }
    void MoveTo(T* room, std::size_t capacity) noexcept {
        for (std::size_t i = 0; i < size_; ++i) {
            new (room + i) T(std::move(items_[i]));
            items_[i].~T();
        }
        std::free(items_);
        items_ = room;
        capacity_ = capacity;
    }
    void Swap(List& other) noexcept {
        std::swap(items_, other.items_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    T* items_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

template <class T>
bool operator==(const List<T>& a, const List<T>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(a[i] == b[i])) return false;
    return true;
}

}  // namespace tolvaren
