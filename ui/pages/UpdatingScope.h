#pragma once
// Sets a page's updating flag for a display or write the page makes itself, so its controls'
// notifications are not taken for a person's edits. Restores the flag's previous value, so scopes nest.
#include <windows.h>

class UpdatingScope {
public:
    explicit UpdatingScope(BOOL& flag) noexcept : flag_(flag), previous_(flag) { flag_ = TRUE; }
    ~UpdatingScope() { flag_ = previous_; }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

private:
    BOOL& flag_;
    BOOL previous_;
};
