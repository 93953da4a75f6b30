#include "tests/support/ClassInformation.h"

#include <objbase.h>

#include "classlib/Bstr.h"
#include "classlib/CoClassDispatch.h"
#include "classlib/HResult.h"
#include "classlib/TypeAttr.h"
#include "tests/support/HResultText.h"

namespace vtest {

namespace {

::testing::AssertionResult CallFailed(const char* call, HRESULT hr) {
    return ::testing::AssertionFailure() << call << " answered " << HResultName(hr);
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Shown(const TypeIdentity& type) { return Narrow(type.name + L" " + GuidText(type.guid)); }

}  // namespace

HRESULT DescribeType(ITypeInfo* info, TypeIdentity& out) {
    out = TypeIdentity{};
    if (!info) return E_POINTER;
    const ql::TypeAttr attr(info);
    QL_RETURN_IF_FAILED(attr.Status());
    out.guid = attr->guid;
    ql::Bstr name;
    QL_RETURN_IF_FAILED(info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr));
    out.name = name.View();
    return S_OK;
}

::testing::AssertionResult DispatchIsDefaultInterface(IUnknown* object, ITypeInfo* coclass) {
    ql::ComPtr<ITypeInfo> defaultInterface;
    HRESULT hr = ql::CoClassDefaultInterface(coclass, defaultInterface);
    if (FAILED(hr)) return CallFailed("the coclass's default interface", hr);
    TypeIdentity expected;
    hr = DescribeType(defaultInterface.Get(), expected);
    if (FAILED(hr)) return CallFailed("describing the default interface", hr);

    ql::ComPtr<IDispatch> dispatch;
    hr = object->QueryInterface(IID_IDispatch, dispatch.PutVoid());
    if (FAILED(hr)) return CallFailed("QueryInterface(IID_IDispatch)", hr);
    ql::ComPtr<ITypeInfo> described;
    hr = dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, described.Put());
    if (FAILED(hr)) return CallFailed("IDispatch::GetTypeInfo(0)", hr);
    TypeIdentity actual;
    hr = DescribeType(described.Get(), actual);
    if (FAILED(hr)) return CallFailed("describing IDispatch's type information", hr);

    if (!IsEqualGUID(expected.guid, actual.guid)) {
        return ::testing::AssertionFailure() << "the coclass's default interface is " << Shown(expected)
                                             << ", IDispatch describes " << Shown(actual);
    }
    return ::testing::AssertionSuccess();
}

}  // namespace vtest
