#pragma once
// The platform's floor under a window of the system: a plain dialog with as many child controls as the
// window holds at that moment, built as an in-memory template, created, shown, painted and destroyed. The
// user-interface benchmark measures it beside each of its own samples, so that both figures come from the
// same machine in the same moment.
// Threading: the benchmark's user-interface thread.
#include <windows.h>

#include <cstddef>

#include "classlib/DialogTemplateWriter.h"

namespace bench {

// How many windows `window` holds: its children, theirs, and so on.
size_t CountChildWindows(HWND window) noexcept;

class DialogFloor {
public:
    // The seconds of creating, showing, painting and destroying a plain dialog of `controls` static
    // controls; 0 when the dialog could not be made. No message of the thread is dispatched meanwhile, so
    // the work the measured window has pending (its timers, its start-up reading) stays out of the floor.
    // `measured`, the window still open, is painted again afterwards, untimed: its next sample must not
    // pay for what the dialog had covered.
    double Time(size_t controls, HWND measured = nullptr);

private:
    void BuildTemplate(size_t controls);

    ql::DialogTemplateWriter template_;  // kept while the count stays the same
    size_t controls_ = 0;
};

}  // namespace bench
