#include "frame/ProgressBar.h"

#include <cwchar>

namespace {

constexpr LONG kSteps = 10;
constexpr LONG kPercentPerStep = 100 / kSteps;

}  // namespace

std::wstring CProgressBar::Update(const std::wstring& title, LONG percent, bool show) {
    if (!show) {
        shownSteps_ = -1;
        return std::wstring();
    }
    const LONG steps = (percent < 0 ? 0 : percent > 100 ? 100 : percent) / kPercentPerStep;
    if (steps <= shownSteps_) return std::wstring();
    shownSteps_ = steps;
    return Render(title, percent);
}

std::wstring CProgressBar::Render(const std::wstring& title, LONG percent) {
    const LONG clamped = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    const LONG steps = clamped / kPercentPerStep;
    std::wstring bar = title + L" [";
    bar.append(static_cast<size_t>(steps), L'#');
    bar.append(static_cast<size_t>(kSteps - steps), L' ');
    wchar_t number[16];
    std::swprintf(number, sizeof number / sizeof number[0], L"] %3ld %%", static_cast<long>(clamped));
    return bar + number;
}
