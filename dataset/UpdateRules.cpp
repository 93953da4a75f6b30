// Update rules: "update(" id "," id ... ")" on a parameter makes every real change of its value read the
// listed parameters again from the device.
#include <cstdlib>
#include <string>
#include <string_view>

#include "classlib/HResult.h"
#include "dataset/QuelkVariableStore.h"

namespace {

constexpr std::wstring_view kUpdateKeyword = L"update(";

// Removes the parameter from the running rules when its rule ends.
class RunningRule {
public:
    explicit RunningRule(std::vector<ULONG>& running) noexcept : running_(running) {}
    RunningRule(const RunningRule&) = delete;
    RunningRule& operator=(const RunningRule&) = delete;
    ~RunningRule() { running_.pop_back(); }

private:
    std::vector<ULONG>& running_;
};

}  // namespace

HRESULT CQuelkVariableStore::RunUpdateRule(ULONG id, ULONG flags) noexcept {
    if (flags == 0) return S_FALSE;
    if (!(flags & kUpdateRuleOnChange)) return S_OK;
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    if (record->UpdateRule.Type() != VT_BSTR) return S_OK;
    ql::Bstr rule;
    QL_RETURN_IF_FAILED(rule.AssignCopy(record->UpdateRule->bstrVal));
    if (rule.View().find(kUpdateKeyword) == std::wstring_view::npos) return S_OK;

    // A device read inside a rule reports its value through SetValue, whose change runs that parameter's
    // rule: without this guard a rule naming its own parameter, or two rules naming each other's, would
    // never end. A rule already running further up is not started again.
    for (ULONG runningId : runningUpdateRules_) {
        if (runningId == id) return S_FALSE;
    }
    QL_RETURN_IF_FAILED(ql::GuardComCall([&]() -> HRESULT {
        runningUpdateRules_.push_back(id);
        return S_OK;
    }));
    const RunningRule running(runningUpdateRules_);
    return ParseUpdateRule(id, rule.Get());
}

HRESULT CQuelkVariableStore::ParseUpdateRule(ULONG /*id*/, BSTR rule) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        const std::wstring text(rule ? std::wstring_view(rule, ::SysStringLen(rule)) : std::wstring_view());
        const size_t keyword = text.find(kUpdateKeyword);
        QL_RETURN_HR_IF(E_INVALIDARG,
                        keyword == std::wstring::npos || text.size() < kUpdateKeyword.size() + 1);

        HRESULT lastFailure = S_OK;
        size_t position = keyword + kUpdateKeyword.size();
        for (;;) {
            size_t separator = text.find(L',', position);
            if (separator == std::wstring::npos) separator = text.find(L')', position);
            const size_t itemEnd = separator == std::wstring::npos ? text.size() : separator;
            // Read as _wtol reads: leading blanks and a sign allowed, stops at the first other character,
            // no digits give 0.
            const std::wstring item = text.substr(position, itemEnd - position);
            const ULONG readId = static_cast<ULONG>(::_wtol(item.c_str()));
            VARIANT_BOOL read = VARIANT_FALSE;
            const HRESULT hr = ReadFromDevice(readId, &read);
            if (FAILED(hr)) lastFailure = hr;
            if (separator == std::wstring::npos || separator + 1 >= text.size()) break;
            position = separator + 1;
        }
        return lastFailure;
    });
}
