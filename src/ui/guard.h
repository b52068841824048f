#pragma once
// The one exception boundary of every handler that Qt calls (button clicks, navigator
// actions, delegates, a model's setData): a failure ends the handler and is shown by the
// application's default error display (the silent abort shows nothing); the program goes
// on. No exception crosses Qt's own code.
#include "platform/dialogs.h"

#include <exception>
#include <utility>

namespace ui {

using platform::ShowFailure;

// Runs `handler`; returns false when it failed (the failure has been shown).
template <typename F> bool Guarded(F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
        return true;
    } catch (...) {
        ShowFailure(std::current_exception());
        return false;
    }
}

// A handler for QObject::connect that runs `handler` inside the guard.
template <typename F> auto GuardedSlot(F handler) {
    return [handler = std::move(handler)](auto&&...) mutable { Guarded(handler); };
}

} // namespace ui
