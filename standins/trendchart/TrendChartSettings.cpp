#include "TrendChartSettings.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace standins {

namespace {

constexpr wchar_t kItemEnd = L'|';
constexpr std::wstring_view kKeyEnd = L": ";

// Whole-text numbers only: "12x" or "" leave the setting as it was.
bool ReadDouble(std::wstring_view text, double& out) {
    const std::wstring copy(text);
    if (copy.empty()) return false;
    wchar_t* end = nullptr;
    const double value = std::wcstod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) return false;
    out = value;
    return true;
}

bool ReadLong(std::wstring_view text, long& out) {
    const std::wstring copy(text);
    if (copy.empty()) return false;
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(copy.c_str(), &end, 10);
    if (end != copy.c_str() + copy.size() || value < -0x80000000LL || value > 0xFFFFFFFFLL) return false;
    out = static_cast<long>(value);
    return true;
}

template <class T>
void SetNumber(std::wstring_view text, T& out) {
    long value = 0;
    if (ReadLong(text, value)) out = static_cast<T>(value);
}

void SetFlag(std::wstring_view text, bool& out) {
    long value = 0;
    if (ReadLong(text, value)) out = value != 0;
}

using PenSetter = void (*)(std::wstring_view, TrendPenSettings&);
using ChartSetter = void (*)(std::wstring_view, TrendChartSettings&);

struct PenKey {
    std::wstring_view key;
    PenSetter set;
};
struct ChartKey {
    std::wstring_view key;
    ChartSetter set;
};

const PenKey kPenKeys[] = {
    {L"Name", [](std::wstring_view v, TrendPenSettings& p) { p.name = v; }},
    {L"Unit", [](std::wstring_view v, TrendPenSettings& p) { p.unit = v; }},
    {L"Color", [](std::wstring_view v, TrendPenSettings& p) { SetNumber(v, p.color); }},
    {L"Width", [](std::wstring_view v, TrendPenSettings& p) { SetNumber(v, p.width); }},
    {L"Precision", [](std::wstring_view v, TrendPenSettings& p) { SetNumber(v, p.precision); }},
    {L"PenActive", [](std::wstring_view v, TrendPenSettings& p) { SetFlag(v, p.active); }},
    {L"Discrete", [](std::wstring_view v, TrendPenSettings& p) { SetFlag(v, p.discrete); }},
    {L"FixMin", [](std::wstring_view v, TrendPenSettings& p) { SetFlag(v, p.fixMinimum); }},
    {L"FixMax", [](std::wstring_view v, TrendPenSettings& p) { SetFlag(v, p.fixMaximum); }},
    {L"Min", [](std::wstring_view v, TrendPenSettings& p) { (void)ReadDouble(v, p.minimum); }},
    {L"Max", [](std::wstring_view v, TrendPenSettings& p) { (void)ReadDouble(v, p.maximum); }},
};

const ChartKey kChartKeys[] = {
    {L"UseFixTimeIntervals",
     [](std::wstring_view v, TrendChartSettings& s) { SetFlag(v, s.useFixTimeIntervals); }},
    {L"ActivePen", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.activePen); }},
    {L"ExpireTimePast", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.expireTimePast); }},
    {L"GridLines", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.gridLines); }},
    {L"RedrawInterval", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.redrawInterval); }},
    {L"BackColor", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.backColor); }},
    {L"GridColor", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.gridColor); }},
    {L"AxisColor", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.axisColor); }},
    {L"ShowTime", [](std::wstring_view v, TrendChartSettings& s) { SetFlag(v, s.showTime); }},
    {L"ShowInactivePens", [](std::wstring_view v, TrendChartSettings& s) { SetFlag(v, s.showInactivePens); }},
    {L"ShowLegend", [](std::wstring_view v, TrendChartSettings& s) { SetFlag(v, s.showLegend); }},
    {L"ShowUnit", [](std::wstring_view v, TrendChartSettings& s) { SetFlag(v, s.showUnit); }},
    {L"FontHeight", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfHeight); }},
    {L"FontWidth", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfWidth); }},
    {L"FontEscapement",
     [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfEscapement); }},
    {L"FontOrientation",
     [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfOrientation); }},
    {L"FontWeight", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfWeight); }},
    {L"FontItalic", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfItalic); }},
    {L"FontUnderline", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfUnderline); }},
    {L"FontStrikeOut", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfStrikeOut); }},
    {L"FontCharSet", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfCharSet); }},
    {L"FontOutPrecision",
     [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfOutPrecision); }},
    {L"FontClipPrecision",
     [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfClipPrecision); }},
    {L"FontQuality", [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfQuality); }},
    {L"FontPitchAndFamily",
     [](std::wstring_view v, TrendChartSettings& s) { SetNumber(v, s.font.lfPitchAndFamily); }},
    {L"FontFaceName",
     [](std::wstring_view v, TrendChartSettings& s) {
         const size_t length = std::min(v.size(), static_cast<size_t>(LF_FACESIZE - 1));
         v.copy(s.font.lfFaceName, length);
         s.font.lfFaceName[length] = L'\0';
     }},
};

// "Color12" is the key "Color" of pen 12; a key without digits at its end belongs to the chart.
void ApplyItem(std::wstring_view key, std::wstring_view value, TrendChartSettings& settings) {
    size_t digits = key.size();
    while (digits > 0 && std::iswdigit(key[digits - 1])) --digits;
    if (digits == key.size()) {
        for (const ChartKey& entry : kChartKeys)
            if (entry.key == key) return entry.set(value, settings);
        return;
    }
    long pen = 0;
    TrendPenSettings* target = ReadLong(key.substr(digits), pen) ? settings.Pen(pen) : nullptr;
    if (!target) return;
    for (const PenKey& entry : kPenKeys)
        if (entry.key == key.substr(0, digits)) return entry.set(value, *target);
}

}  // namespace

TrendChartSettings::TrendChartSettings() {
    for (size_t i = 0; i < pens.size(); ++i) pens[i].name = L"Pen " + std::to_wstring(i + 1);
    font.lfHeight = 16;
    font.lfWeight = FW_BOLD;
    font.lfPitchAndFamily = VARIABLE_PITCH;
    std::wcsncpy(font.lfFaceName, L"System", LF_FACESIZE - 1);
}

TrendPenSettings* TrendChartSettings::Pen(long pen) noexcept {
    return pen >= 1 && pen <= kPenCount ? &pens[static_cast<size_t>(pen - 1)] : nullptr;
}

const TrendPenSettings* TrendChartSettings::Pen(long pen) const noexcept {
    return const_cast<TrendChartSettings*>(this)->Pen(pen);
}

void ApplySettingsText(std::wstring_view text, TrendChartSettings& settings) {
    while (!text.empty()) {
        const size_t end = text.find(kItemEnd);
        const std::wstring_view item = text.substr(0, end);
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
        const size_t keyEnd = item.find(kKeyEnd);
        if (keyEnd == std::wstring_view::npos) continue;
        ApplyItem(item.substr(0, keyEnd), item.substr(keyEnd + kKeyEnd.size()), settings);
    }
}

}  // namespace standins
