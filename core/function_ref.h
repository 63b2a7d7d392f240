#pragma once
// A callable handed to a function for the length of the call, without a
// copy or an allocation (std::function allocates, and may throw).
#include <memory>
#include <type_traits>
#include <utility>

namespace tolvaren {

template <class Signature>
class FunctionRef;

template <class R, class... Args>
class FunctionRef<R(Args...)> {
public:
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, FunctionRef>>>
    FunctionRef(F&& callable) noexcept  // NOLINT: takes any callable, as std::function does
        // A function's address too: GCC, like every compiler Windows and
        // Linux have, keeps it whole through a void*.
        : callable_((void*)std::addressof(callable)),  // NOLINT
          call_([](void* callable, Args... args) -> R {
              return (*reinterpret_cast<std::remove_reference_t<F>*>(callable))(std::forward<Args>(args)...);
          }) {}

    R operator()(Args... args) const { return call_(callable_, std::forward<Args>(args)...); }

private:
    void* callable_;
    R (*call_)(void*, Args...);
};

}  // namespace tolvaren
