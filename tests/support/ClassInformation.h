#pragma once
// What a container learns about an object from type information: the coclass of its class (what
// IProvideClassInfo answers, or what a type library declares), the coclass's [default] interface, and the
// interface that the object's IDispatch describes. A container that binds to the default interface and then
// calls through IDispatch relies on the two being one interface.
#include <oaidl.h>

#include <gtest/gtest.h>

#include <string>

#include "classlib/ComPtr.h"
#include "classlib/GuidText.h"

namespace vtest {

// The GUID and the name of what `info` describes.
struct TypeIdentity {
    GUID guid = GUID_NULL;
    std::wstring name;
};
HRESULT DescribeType(ITypeInfo* info, TypeIdentity& out);
// "{...}" text of a GUID, for messages.
using ql::GuidText;

// Whether `object`'s IDispatch describes (GetTypeInfo(0)) the [default] interface of `coclass`, by IID; the
// failure names both interfaces, or the call that failed.
::testing::AssertionResult DispatchIsDefaultInterface(IUnknown* object, ITypeInfo* coclass);

}  // namespace vtest
