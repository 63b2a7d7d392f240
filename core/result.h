#pragma once
// A value, or the Outcome that says why there is none: what every step that
// can fail returns.
#include <cassert>
#include <optional>
#include <type_traits>
#include <utility>

#include "core/outcome.h"

namespace tolvaren {

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: a value is a result
    // A value of another type that becomes one (a derived file's pointer).
    template <class U, class = std::enable_if_t<std::is_convertible_v<U&&, T> &&
                                                !std::is_same_v<std::decay_t<U>, T> &&
                                                !std::is_same_v<std::decay_t<U>, Outcome> &&
                                                !std::is_same_v<std::decay_t<U>, Reason>>>
    Result(U&& value) : value_(T(std::forward<U>(value))) {}  // NOLINT
    // Why there is no value; never Done, which would read as a failure
    // that says nothing (the tests' builds stop at once).
    Result(Outcome why) : why_(std::move(why)) { assert(!why_.Done()); }  // NOLINT
    Result(Reason why) : why_(why) { assert(!why_.Done()); }              // NOLINT

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Done when there is a value.
    const Outcome& Why() const { return why_; }

private:
    std::optional<T> value_;
    Outcome why_;
};

}  // namespace tolvaren
