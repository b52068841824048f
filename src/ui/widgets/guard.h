#pragma once
// The one exception boundary of every handler that Qt calls (button clicks, navigator
// actions, delegates, a model's setData): a failure ends the handler and is shown by the
// application's default error display (the silent abort shows nothing); the program goes
// on. No exception crosses Qt's own code.
#include "data/notices.h"
#include "platform/dialogs.h"

#include <exception>
#include <string>
#include <utility>

namespace ui {

using platform::ShowFailure;

// Shows what the data layer reported meanwhile (a file kept aside, a backup that could not
// be made), oldest first. Never fails.
inline void ShowNotices() noexcept {
    try {
        for (const std::string& notice : data::TakeNotices())
            platform::Dialogs().ShowMessage(notice);
    } catch (...) {
        // showing failed as well: nothing more can be done here
    }
}

// Runs `handler`; returns false when it failed (the failure has been shown). Notices the
// handler caused are shown first, in both cases.
template <typename F> bool Guarded(F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
        ShowNotices();
        return true;
    } catch (...) {
        ShowNotices();
        ShowFailure(std::current_exception());
        return false;
    }
}

// A handler for QObject::connect that runs `handler` inside the guard.
template <typename F> auto GuardedSlot(F handler) {
    return [handler = std::move(handler)](auto&&...) mutable { Guarded(handler); };
}

} // namespace ui
