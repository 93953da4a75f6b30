#pragma once
// CoClassDispatch: the IDispatch of an object as its class's coclass declares it. The module's type library
// gives, for the class id, a coclass whose [default] interface is a dispatch interface with no methods of its
// own (each control and page class has one, named after the class). Such an interface's vtable is
// IDispatch's, so this one IDispatch answers both IID_IDispatch and that interface and describes that
// interface: a script sees the class's own interface name and no member, and a container that compares
// IProvideClassInfo with IDispatch sees one interface. The object's other dual interfaces keep their own
// IDispatch methods, reached through their own IIDs.
//
//   class CFoo : public ql::ComObjectBase<CFoo>, public IFooPrivate, public ql::CoClassDispatch {
//       QL_INTERFACE_TABLE(CFoo, QL_ENTRY(IFooPrivate), QL_ENTRY_CHAIN(ql::CoClassDispatch))
//   public:
//       CFoo() : ql::CoClassDispatch(CLSID_Foo) {}
//   };
//
// A class whose coclass is missing from the library, or whose default interface has methods of its own, is
// not served: the part then answers E_NOINTERFACE, and such a class implements its interface itself. The part
// looks the interface up once per object, at the first query that reaches it.
// Threading: apartment-threaded, like its object; the type information comes from the module's cache.
#include <oaidl.h>
#include <windows.h>

#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"

namespace ql {

// The interface that `coclass` marks [default] and not [source] (the one a container binds to), as the
// coclass's library describes it; TYPE_E_ELEMENTNOTFOUND when it marks none, or is no coclass.
HRESULT CoClassDefaultInterface(ITypeInfo* coclass, ComPtr<ITypeInfo>& out) noexcept;

class CoClassDispatch : public IDispatch {
    QL_INTERFACE_PART_TABLE(CoClassDispatch, QL_ENTRY_FUNC_ANY(QueryCoClassInterface))

public:
    CoClassDispatch(const CoClassDispatch&) = delete;
    CoClassDispatch& operator=(const CoClassDispatch&) = delete;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) noexcept override;

protected:
    explicit CoClassDispatch(const CLSID& classId) noexcept : classId_(classId) {}
    ~CoClassDispatch() = default;

private:
    // IID_IDispatch and the coclass's default interface: this IDispatch; any other IID: E_NOINTERFACE.
    HRESULT QueryCoClassInterface(REFIID iid, void** out) noexcept;
    // The default interface's IID and description, looked up on the first call; its answer is kept.
    HRESULT Resolve() noexcept;

    CLSID classId_;
    bool resolved_ = false;
    HRESULT resolution_ = E_UNEXPECTED;
    IID interfaceId_ = IID_NULL;
    ComPtr<ITypeInfo> info_;
};

}  // namespace ql
