#pragma once
// Two error styles: a handler stops where it failed and the user is told (Guard), or
// a failing step is skipped silently and the next one runs (SkipOnError).
#include <exception>
#include <utility>

namespace platform {

void ReportHandlerFailure(const std::exception* error);

template <typename F>
void Guard(F&& handler) noexcept {
  try {
    std::forward<F>(handler)();
  } catch (const std::exception& e) {
    ReportHandlerFailure(&e);
  } catch (...) {
    ReportHandlerFailure(nullptr);
  }
}

// Returns whether the step succeeded.
template <typename F>
bool SkipOnError(F&& step) noexcept {
  try {
    std::forward<F>(step)();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace platform
