// Result<T>: what an operation gives back, or why it failed. The one way the layers say
// that something failed: the reason is words for the log or for the user, and where the
// program's interface fixes a number for the failure (a picture that cannot be loaded is
// error 999), the number travels with it. MCI keeps its own codes: they are its interface.
#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace lumen {

struct Failure {
  std::string reason;
  int code = 0;  // the number the interface gives this failure; 0 when it gives none
};

inline Failure Fail(std::string reason, int code = 0) { return Failure{std::move(reason), code}; }

template <typename T>
class [[nodiscard]] Result {
 public:
  template <typename U = T>
  requires(std::is_convertible_v<U&&, T> && !std::is_same_v<std::remove_cvref_t<U>, Failure>) Result(U&& value)
      : state_(std::in_place_index<0>, std::forward<U>(value)) {}
  Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& operator*() & { return std::get<0>(state_); }
  const T& operator*() const& { return std::get<0>(state_); }
  T&& operator*() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }

  // Only when it failed.
  const Failure& failure() const { return std::get<1>(state_); }
  // Empty when it succeeded.
  const std::string& reason() const { return ok() ? kNone : failure().reason; }

 private:
  static inline const std::string kNone;
  std::variant<T, Failure> state_;
};

// For an operation that gives nothing back but success.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_; }
  explicit operator bool() const { return ok(); }
  const Failure& failure() const { return *failure_; }
  const std::string& reason() const { return ok() ? kNone : failure_->reason; }

 private:
  static inline const std::string kNone;
  std::optional<Failure> failure_;
};

}  // namespace lumen
