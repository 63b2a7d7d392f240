#pragma once
// Sole owner of one platform handle. Traits give the handle type, its invalid
// value and how to close it:
//   struct Traits { using pointer = H; static H Invalid(); static void Close(H); };

namespace tolvaren {

template <class Traits>
class UniqueAny {
public:
    using pointer = typename Traits::pointer;

    UniqueAny() = default;
    explicit UniqueAny(pointer value) : value_(value) {}
    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { reset(); }

    pointer get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Invalid(); }

    // For out-parameters of the platform's calls; closes what was held.
    pointer* put() {
        reset();
        return &value_;
    }
    pointer release() {
        const pointer value = value_;
        value_ = Traits::Invalid();
        return value;
    }
    void reset(pointer value = Traits::Invalid()) {
        if (value_ != Traits::Invalid()) Traits::Close(value_);
        value_ = value;
    }

private:
    pointer value_ = Traits::Invalid();
};

}  // namespace tolvaren
