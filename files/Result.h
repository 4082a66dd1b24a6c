#pragma once

#include <utility>
#include <variant>

namespace calmfield::files {

// Why something failed, marked so that a Result tells it from a value of the same type.
template <typename Reason> struct Failure { Reason reason; };

template <typename Reason> Failure<Reason> failure(Reason reason) {
    return {std::move(reason)};
}

// The value of something that succeeds with nothing more to give, such as a write.
struct Done {
    bool operator==(const Done&) const = default;
};

// What a read, a write, a render or a save gives: its value, or why it failed, either in words
// for the user or as a code the caller turns into words. Asking a failure for its value, or a
// success for its reason, throws std::bad_variant_access.
template <typename Value, typename Reason> class [[nodiscard]] Result {
  public:
    Result(Value value) : state_(std::in_place_index<0>, std::move(value)) {}
    template <typename Given>
    Result(Failure<Given> failed)
        : state_(std::in_place_index<1>, Reason(std::move(failed.reason))) {}

    bool ok() const { return state_.index() == 0; }
    const Value& value() const { return std::get<0>(state_); }
    Value& value() { return std::get<0>(state_); }
    const Reason& reason() const { return std::get<1>(state_); }

  private:
    std::variant<Value, Reason> state_;
};

} // namespace calmfield::files
