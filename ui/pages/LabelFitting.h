#pragma once
// Labels whole in the dialog font the platform gives a page. The layouts were made with a narrower font than
// the one the platform may substitute, so a label's text can need more room than its rectangle has: the
// static then breaks its last word onto a line it has no height for, or clips it.
// Stateless; the page's user-interface thread.
#include <windows.h>

// Fits each text label of `dialog` whose text, broken into lines at its width, needs more room than the label
// has. Such a label grows beside itself (a left-aligned label to the right, a right-aligned one to the left,
// a centred one both ways) as far as its text needs, but only into room no other control takes and never over
// the frame of a group box around it. Where that room is too narrow for its text on one line, the label shows
// its text in a smaller size of its font that fits it (the label owns that font). Every label that fits keeps
// the template's rectangle and font.
void FitLabelsToText(HWND dialog) noexcept;
