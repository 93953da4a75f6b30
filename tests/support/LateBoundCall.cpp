#include "tests/support/LateBoundCall.h"

#include "classlib/Bstr.h"

namespace vtest {

LateBoundAnswer CallLateBound(IDispatch* target, const wchar_t* member, const std::vector<VARIANT>& arguments,
                              const std::vector<const wchar_t*>& parameterNames) {
    LateBoundAnswer answer;
    std::vector<LPOLESTR> names{const_cast<LPOLESTR>(member)};
    for (const wchar_t* name : parameterNames) names.push_back(const_cast<LPOLESTR>(name));
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    answer.hr = target->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()),
                                      LOCALE_USER_DEFAULT, ids.data());
    if (FAILED(answer.hr)) return answer;
    std::vector<VARIANT> lent(arguments.rbegin(), arguments.rend());
    std::vector<DISPID> named(ids.rbegin(), ids.rend() - 1);  // the parameters, in the order of `lent`
    DISPPARAMS params{lent.data(), parameterNames.empty() ? nullptr : named.data(),
                      static_cast<UINT>(lent.size()),
                      static_cast<UINT>(parameterNames.empty() ? 0 : named.size())};
    EXCEPINFO exception{};
    answer.hr = target->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                               answer.result.Put(), &exception, &answer.argumentError);
    // The texts the callee filled in are the caller's to free.
    ql::Bstr source, description, helpFile;
    source.Attach(exception.bstrSource);
    description.Attach(exception.bstrDescription);
    helpFile.Attach(exception.bstrHelpFile);
    if (answer.hr == DISP_E_EXCEPTION) answer.hr = exception.scode;
    return answer;
}

}  // namespace vtest
