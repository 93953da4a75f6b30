#pragma once
// The one shape of every COM object of the system.
//
//   class CFoo : public ql::ComObjectBase<CFoo>, public IFoo, public IBar {
//       QL_INTERFACE_TABLE(CFoo,
//                          QL_ENTRY(IFoo),                    // first entry: the identity IUnknown
//                          QL_ENTRY_IID(IID_IDispatch, IFoo),  // another IID answered by a base
//                          QL_ENTRY(IBar),
//                          QL_ENTRY_CHAIN(CSomePart),          // a part's own table, searched in place
//                          QL_ENTRY_FUNC(IID_IBaz, QueryBaz))  // HRESULT QueryBaz(REFIID, void**)
//   public:
//       HRESULT FinalConstruct() noexcept;  // optional: runs after the constructor; a failure fails creation
//       void FinalRelease() noexcept;       // optional: runs before the object is deleted
//       ... the methods of IFoo and IBar ...
//   };
//
// An object may instead hold its parts as members, one part per group of interfaces, and map each interface
// straight to the member that implements it:
//
//   class CPart : public ql::MemberPart, public IFoo {   // a member part
//       QL_MEMBER_IUNKNOWN()                             // its IUnknown is the owner's controlling unknown
//   public:
//       explicit CPart(ql::PartOwner& owner) noexcept : ql::MemberPart(owner) {}
//       ... the methods of IFoo ...
//   };
//   class CHouse : public ql::ComObjectBase<CHouse> {    // derives from no interface itself
//       QL_MEMBER_TABLE(CHouse,
//                       QL_ENTRY_MEMBER(IFoo, foo_),                       // first entry: the identity
//                       QL_ENTRY_MEMBER_IID(IID_IDispatch, IFoo, foo_),    // another IID of a member
//                       QL_ENTRY_MEMBER(IBar, bar_))
//       CPart foo_{*this};
//       CBarPart bar_{*this};
//   };
//
//   ql::ComPtr<IFoo> foo;
//   hr = ql::CreateInstance<CFoo>(outer, __uuidof(IFoo), foo.PutVoid());  // what a class factory does
//   ql::ComPtr<CFoo> self;
//   hr = ql::MakeObject(self, constructorArgs...);  // internal use: the C++ object and its owning reference
//   hr = ql::ObjectFromUnknown(fromCaller, self);   // checked downcast of an interface pointer from outside
//
// The rules this header keeps, so that no class writes AddRef, Release or QueryInterface by hand:
// - QueryInterface nulls the out-pointer first, searches the table in the order the class lists it and adds a
//   reference only on success; an IID in no entry answers E_NOINTERFACE. The first entry (QL_ENTRY,
//   QL_ENTRY_IID, QL_ENTRY_CHAIN or QL_ENTRY_MEMBER) is the object's identity IUnknown.
// - A part (a base class implementing a group of interfaces for complete objects) declares its table with
//   QL_INTERFACE_PART_TABLE; the complete class chains it with QL_ENTRY_CHAIN(Part) where its entries belong.
// - A member part (QL_ENTRY_MEMBER) derives from ql::MemberPart and declares QL_MEMBER_IUNKNOWN(): its
//   QueryInterface, AddRef and Release are the owning object's controlling unknown's (the outer object's when
//   the owner is aggregated), so every interface pointer of the object answers for the whole object. The
//   owner lists each interface a member answers with the member's name; a class whose interfaces all live on
//   members declares QL_MEMBER_TABLE (the same table, with IUnknown methods for its own ComPtr). A member
//   reaches its owner only through ql::PartOwner, which every ComObjectBase is.
// - A QL_ENTRY_FUNC entry decides for its IID alone: its result is the answer, even a failure. A
//   QL_ENTRY_FUNC_ANY entry is asked for every IID that reaches it and passes on with E_NOINTERFACE.
// - Threading: every object is apartment-threaded, so reference counts are plain integers. Every living
//   object holds one lock on the module (ComModule), whose count is the only interlocked counter.
// - Aggregation: created with an outer unknown, the object sends all its IUnknown calls to the outer object;
//   the outer holds the inner, non-delegating unknown that CreateInstance hands out. The outer must ask for
//   IUnknown at creation (anything else answers CLASS_E_NOAGGREGATION).
// - A class that is derived from further must keep the CRTP argument of its own ComObjectBase; the virtual
//   destructor of the base lets a derived class be deleted correctly.
// The table macros leave the access specifier at `public`.
#include <unknwn.h>
#include <windows.h>

#include <cstddef>
#include <new>
#include <utility>

#include "classlib/ComPtr.h"
#include "classlib/HResult.h"

namespace ql {

// The module's lock count, kept by ComModule: each living object and each server lock holds one.
LONG LockModule() noexcept;
LONG UnlockModule() noexcept;

// A private IID that only objects built on ComObjectBase answer. It yields their identity record, so that a
// pointer handed in by a caller is cast to one of our classes only after its class has been checked.
// A marshalling proxy cannot answer it (no proxy exists for it), so a foreign object never passes the check.
// {5136C258-667E-4BBC-8FA7-7852EA81D10F}
inline constexpr IID kIidObjectIdentity = {
    0x5136c258, 0x667e, 0x4bbc, {0x8f, 0xa7, 0x78, 0x52, 0xea, 0x81, 0xd1, 0x0f}};

// One row of an interface table. `query` hands out the interface with a reference (S_OK) or answers an
// error; `object` is the C++ object of the class that owns the table, as void*.
using InterfaceQueryFn = HRESULT (*)(void* object, REFIID iid, void** out) noexcept;
struct InterfaceEntry {
    const IID* iid;  // nullptr: a chained table that answers for every IID it holds
    InterfaceQueryFn query;
};
struct InterfaceTable {
    const InterfaceEntry* entries;
    size_t count;
};

// Searches `table` for `iid`; `*out` must already be null. E_NOINTERFACE when no entry answers.
inline HRESULT QueryInterfaceTable(void* object, const InterfaceTable& table, REFIID iid,
                                   void** out) noexcept {
    if (table.count == 0) return E_NOINTERFACE;
    if (IsEqualIID(iid, IID_IUnknown)) {
        const InterfaceEntry& identity = table.entries[0];
        return identity.query(object, identity.iid ? *identity.iid : IID_IUnknown, out);
    }
    for (size_t i = 0; i < table.count; ++i) {
        const InterfaceEntry& entry = table.entries[i];
        if (!entry.iid) {
            const HRESULT hr = entry.query(object, iid, out);
            if (hr != E_NOINTERFACE) return hr;
        } else if (IsEqualIID(*entry.iid, iid)) {
            return entry.query(object, iid, out);
        }
    }
    return E_NOINTERFACE;
}

// Identity record of an object, answered for kIidObjectIdentity. Its IUnknown is the object's inner
// (non-delegating) unknown.
class ObjectIdentity : public IUnknown {
public:
    const void* ClassTag() const noexcept { return classTag_; }
    void* Object() const noexcept { return object_; }

protected:
    ObjectIdentity(const void* classTag, void* object) noexcept : classTag_(classTag), object_(object) {}
    ~ObjectIdentity() = default;

private:
    const void* classTag_;
    void* object_;  // the ComObjectBase<T> subobject
};

// One distinct address per class and per module image.
template <class T>
const void* ClassTagOf() noexcept {
    static const char tag = 0;
    return &tag;
}

// What a member part's IUnknown methods call: the object that holds the part (every ComObjectBase).
class PartOwner {
public:
    // The owner's QueryInterface, AddRef and Release through its controlling unknown.
    virtual HRESULT PartQueryInterface(REFIID iid, void** out) noexcept = 0;
    virtual ULONG PartAddRef() noexcept = 0;
    virtual ULONG PartRelease() noexcept = 0;
    // The outer object when the owner is aggregated, else its identity IUnknown; no reference added.
    virtual IUnknown* PartControllingUnknown() noexcept = 0;

protected:
    ~PartOwner() = default;
};

// The base of a member part: the part keeps its owner, whose controlling unknown its IUnknown methods use
// (QL_MEMBER_IUNKNOWN). The owner outlives its members; the part holds no reference on it.
class MemberPart {
public:
    explicit MemberPart(PartOwner& owner) noexcept : owner_(owner) {}
    MemberPart(const MemberPart&) = delete;
    MemberPart& operator=(const MemberPart&) = delete;

    // The owning object's controlling unknown (what a call out holds); no reference added.
    IUnknown* ControllingUnknown() const noexcept { return owner_.PartControllingUnknown(); }

protected:
    ~MemberPart() = default;
    PartOwner& Owner() const noexcept { return owner_; }

private:
    PartOwner& owner_;
};

template <class T>
class ComObjectBase : public PartOwner {
public:
    ComObjectBase(const ComObjectBase&) = delete;
    ComObjectBase& operator=(const ComObjectBase&) = delete;

    // The outer object when aggregated, else the object's identity IUnknown; no reference added.
    IUnknown* GetControllingUnknown() noexcept {
        if (outer_) return outer_;
        void* identity = nullptr;
        if (FAILED(
                QueryInterfaceTable(static_cast<T*>(this), T::QlInterfaceTable(), IID_IUnknown, &identity)))
            return nullptr;
        --refs_;  // the table query added one; the pointer is handed out borrowed
        return static_cast<IUnknown*>(identity);
    }
    bool IsAggregated() const noexcept { return outer_ != nullptr; }
    // The inner unknown that an outer object owns and queries; meaningful only when aggregated.
    IUnknown* NonDelegatingUnknown() noexcept { return &inner_; }

    // Hooks a class may hide with its own.
    HRESULT FinalConstruct() noexcept { return S_OK; }
    void FinalRelease() noexcept {}

    // The object's own view, not passed to an outer object.
    HRESULT InternalQueryInterface(REFIID iid, void** out) noexcept {
        QL_RETURN_IF_NULL_OUT(out);
        *out = nullptr;
        if (IsEqualIID(iid, kIidObjectIdentity)) {
            inner_.AddRef();
            *out = static_cast<IUnknown*>(&inner_);
            return S_OK;
        }
        return QueryInterfaceTable(static_cast<T*>(this), T::QlInterfaceTable(), iid, out);
    }
    ULONG InternalAddRef() noexcept { return ++refs_; }
    ULONG InternalRelease() noexcept {
        const ULONG left = --refs_;
        if (left == 0) {
            refs_ = 1;  // references taken and dropped while the object goes must not delete it twice
            static_cast<T*>(this)->FinalRelease();
            delete this;
        }
        return left;
    }

    // What QL_INTERFACE_TABLE's IUnknown methods call: the outer object's when aggregated.
    HRESULT OuterQueryInterface(REFIID iid, void** out) noexcept {
        if (!outer_) return InternalQueryInterface(iid, out);
        QL_RETURN_IF_NULL_OUT(out);
        *out = nullptr;
        return outer_->QueryInterface(iid, out);
    }
    ULONG OuterAddRef() noexcept { return outer_ ? outer_->AddRef() : InternalAddRef(); }
    ULONG OuterRelease() noexcept { return outer_ ? outer_->Release() : InternalRelease(); }

    // ---- PartOwner: what the object's member parts call ----
    HRESULT PartQueryInterface(REFIID iid, void** out) noexcept final {
        return OuterQueryInterface(iid, out);
    }
    ULONG PartAddRef() noexcept final { return OuterAddRef(); }
    ULONG PartRelease() noexcept final { return OuterRelease(); }
    IUnknown* PartControllingUnknown() noexcept final { return GetControllingUnknown(); }

protected:
    ComObjectBase() noexcept : inner_(this) { LockModule(); }
    virtual ~ComObjectBase() { UnlockModule(); }

private:
    template <class U>
    friend HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept;

    class Inner final : public ObjectIdentity {
    public:
        explicit Inner(ComObjectBase* owner) noexcept : ObjectIdentity(ClassTagOf<T>(), owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
            QL_RETURN_IF_NULL_OUT(out);
            *out = nullptr;
            if (IsEqualIID(iid, IID_IUnknown)) {
                AddRef();
                *out = static_cast<IUnknown*>(this);
                return S_OK;
            }
            return Owner()->InternalQueryInterface(iid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Owner()->InternalAddRef(); }
        ULONG STDMETHODCALLTYPE Release() noexcept override { return Owner()->InternalRelease(); }

    private:
        ComObjectBase* Owner() const noexcept { return static_cast<ComObjectBase*>(Object()); }
    };

    ULONG refs_ = 0;
    IUnknown* outer_ = nullptr;  // not owned: the outer object owns this one
    Inner inner_;
};

// Creates a T as a class factory does: standalone, or aggregated when `outer` is set (then `iid` must be
// IUnknown and `*out` receives the inner unknown).
template <class T>
HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return GuardComCall([&]() -> HRESULT {
        T* object = new T();
        ComObjectBase<T>* base = object;
        base->outer_ = outer;
        base->InternalAddRef();  // keeps the object alive through FinalConstruct and the query
        HRESULT hr = object->FinalConstruct();
        if (SUCCEEDED(hr)) {
            hr = outer ? base->inner_.QueryInterface(iid, out) : base->InternalQueryInterface(iid, out);
        }
        base->InternalRelease();  // deletes the object when construction or the query failed
        return hr;
    });
}

// Creates a standalone T for the system's own use: `out` owns the C++ object.
template <class T, class... Args>
HRESULT MakeObject(ComPtr<T>& out, Args&&... args) noexcept {
    out.Reset();
    return GuardComCall([&]() -> HRESULT {
        T* object = new T(std::forward<Args>(args)...);
        object->InternalAddRef();
        ComPtr<T> owner;
        owner.Attach(object);
        QL_RETURN_IF_FAILED(object->FinalConstruct());
        out = std::move(owner);
        return S_OK;
    });
}

// Checked downcast: `out` receives the T behind `from` when `from` belongs to an object of class T (created
// by this module), else E_NOINTERFACE and null. The query goes through the controlling unknown, so for an
// aggregated object it succeeds through the outer object only when the outer passes unknown queries on; the
// inner unknown always answers.
template <class T>
HRESULT ObjectFromUnknown(IUnknown* from, ComPtr<T>& out) noexcept {
    out.Reset();
    if (!from) return E_POINTER;
    ComPtr<IUnknown> identity;
    QL_RETURN_IF_FAILED(from->QueryInterface(kIidObjectIdentity, identity.PutVoid()));
    const auto* record = static_cast<const ObjectIdentity*>(identity.Get());
    if (record->ClassTag() != ClassTagOf<T>()) return E_NOINTERFACE;
    out = ComPtr<T>(static_cast<T*>(static_cast<ComObjectBase<T>*>(record->Object())));
    return S_OK;
}

}  // namespace ql

// ---- Interface table macros (see the top of this file) ----

#define QL_ENTRY_IID(iid, Interface)                                       \
    ::ql::InterfaceEntry {                                                 \
        &(iid), [](void* object, REFIID, void** out) noexcept -> HRESULT { \
            Interface* itf = static_cast<QlTableClass*>(object);           \
            itf->AddRef();                                                 \
            *out = itf;                                                    \
            return S_OK;                                                   \
        }                                                                  \
    }

#define QL_ENTRY(Interface) QL_ENTRY_IID(__uuidof(Interface), Interface)

#define QL_ENTRY_CHAIN(Part)                                                            \
    ::ql::InterfaceEntry {                                                              \
        nullptr, [](void* object, REFIID iid, void** out) noexcept -> HRESULT {         \
            Part* part = static_cast<QlTableClass*>(object);                            \
            return ::ql::QueryInterfaceTable(part, Part::QlInterfaceTable(), iid, out); \
        }                                                                               \
    }

#define QL_ENTRY_FUNC(iid, Method)                                                   \
    ::ql::InterfaceEntry {                                                           \
        &(iid), [](void* object, REFIID requested, void** out) noexcept -> HRESULT { \
            return static_cast<QlTableClass*>(object)->Method(requested, out);       \
        }                                                                            \
    }

// A function that decides at run time which IIDs it answers: E_NOINTERFACE lets the search go on, as after a
// chained table.
#define QL_ENTRY_FUNC_ANY(Method)                                                     \
    ::ql::InterfaceEntry {                                                            \
        nullptr, [](void* object, REFIID requested, void** out) noexcept -> HRESULT { \
            return static_cast<QlTableClass*>(object)->Method(requested, out);        \
        }                                                                             \
    }

// The interface of member `member` (a ql::MemberPart); the row a reader follows from an IID to its code.
#define QL_ENTRY_MEMBER_IID(iid, Interface, member)                        \
    ::ql::InterfaceEntry {                                                 \
        &(iid), [](void* object, REFIID, void** out) noexcept -> HRESULT { \
            Interface* itf = &static_cast<QlTableClass*>(object)->member;  \
            itf->AddRef();                                                 \
            *out = itf;                                                    \
            return S_OK;                                                   \
        }                                                                  \
    }

#define QL_ENTRY_MEMBER(Interface, member) QL_ENTRY_MEMBER_IID(__uuidof(Interface), Interface, member)

// In a member part: QueryInterface, AddRef and Release of every interface the part derives from, sent to
// the owning object's controlling unknown.
#define QL_MEMBER_IUNKNOWN()                                                             \
public:                                                                                  \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override { \
        return Owner().PartQueryInterface(iid, out);                                     \
    }                                                                                    \
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Owner().PartAddRef(); }  \
    ULONG STDMETHODCALLTYPE Release() noexcept override { return Owner().PartRelease(); }

#define QL_INTERFACE_PART_TABLE(Class, ...)                          \
public:                                                              \
    using QlTableClass = Class;                                      \
    static ::ql::InterfaceTable QlInterfaceTable() noexcept {        \
        static const ::ql::InterfaceEntry entries[] = {__VA_ARGS__}; \
        return {entries, sizeof(entries) / sizeof(entries[0])};      \
    }

#define QL_INTERFACE_TABLE(Class, ...)                                                   \
    QL_INTERFACE_PART_TABLE(Class, __VA_ARGS__)                                          \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override { \
        return this->OuterQueryInterface(iid, out);                                      \
    }                                                                                    \
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return this->OuterAddRef(); }   \
    ULONG STDMETHODCALLTYPE Release() noexcept override { return this->OuterRelease(); }

// The table of an object whose interfaces all live on members (QL_ENTRY_MEMBER rows): it derives from no
// interface, so its IUnknown methods are plain members, for its own ComPtr and callers holding the class.
#define QL_MEMBER_TABLE(Class, ...)                                             \
    QL_INTERFACE_PART_TABLE(Class, __VA_ARGS__)                                 \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept { \
        return this->OuterQueryInterface(iid, out);                             \
    }                                                                           \
    ULONG STDMETHODCALLTYPE AddRef() noexcept { return this->OuterAddRef(); }   \
    ULONG STDMETHODCALLTYPE Release() noexcept { return this->OuterRelease(); }
