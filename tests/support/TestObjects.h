#pragma once
// COM objects of the tests' own, on the stack or in a fixture. References are counted and never free the
// object, so a test can prove that the code under test balanced them; unexpected methods fail the test.
#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "classlib/ComPtr.h"
#include "classlib/DispatchImpl.h"
#include "tests/support/HResultText.h"

namespace vtest {

// Asks `asked` for `iid` with the out-pointer set to `initialOut` first, and expects `expected` with
// `answer` in the out-pointer (null after a failure); an interface handed out is released again.
inline void ExpectQueryAnswer(IUnknown* asked, REFIID iid, HRESULT expected, void* answer,
                              void* initialOut = nullptr) {
    void* out = initialOut;
    const HRESULT hr = asked->QueryInterface(iid, &out);
    ql::ComPtr<IUnknown> owned;
    if (SUCCEEDED(hr)) owned.Attach(static_cast<IUnknown*>(out));
    EXPECT_HR(expected, hr);
    EXPECT_EQ(answer, out);
}

// Answers IUnknown and the listed IIDs with itself.
template <class Interface>
class CountedObject : public Interface {
public:
    explicit CountedObject(std::initializer_list<IID> answered = {}) : answered_(answered) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        bool answers = IsEqualIID(iid, IID_IUnknown);
        for (const IID& answered : answered_) answers = answers || IsEqualIID(iid, answered);
        if (!answers) return E_NOINTERFACE;
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }

    ULONG refs = 1;

private:
    std::vector<IID> answered_;
};

// The same for an interface on IDispatch whose IDispatch members the code under test never calls.
template <class Interface>
class CountedDispatch : public CountedObject<ql::NoDispatchImpl<Interface>> {
public:
    using CountedObject<ql::NoDispatchImpl<Interface>>::CountedObject;
};

// An IUnknown of outside origin, as an object that aggregates one of ours holds it: it answers IUnknown
// itself, counts its references, records every IID it is asked for and passes the other queries to the
// aggregated object's non-delegating unknown (`inner`): all of them, or only `forwarded` when one is given.
class RecordingOuter : public IUnknown {
public:
    explicit RecordingOuter(const IID* forwarded = nullptr) : forwarded_(forwarded) {}

    ULONG refs = 1;
    std::vector<IID> asked;
    ql::ComPtr<IUnknown> inner;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        asked.push_back(iid);
        if (IsEqualIID(iid, IID_IUnknown)) {
            AddRef();
            *out = static_cast<IUnknown*>(this);
            return S_OK;
        }
        if (!inner || (forwarded_ && !IsEqualIID(iid, *forwarded_))) return E_NOINTERFACE;
        return inner->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    bool WasAsked(REFIID iid) const {
        for (const IID& each : asked) {
            if (IsEqualIID(each, iid)) return true;
        }
        return false;
    }

private:
    const IID* forwarded_;
};

// An automation object whose default value (DISPID_VALUE) is the VT_I4 `value`, as a script's object
// passed where a value is expected.
class DefaultValueObject final : public CountedDispatch<IDispatch> {
public:
    explicit DefaultValueObject(LONG value) : CountedDispatch({IID_IDispatch}), value_(value) {}
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) noexcept override {
        if (id != DISPID_VALUE || !result) return DISP_E_MEMBERNOTFOUND;
        V_VT(result) = VT_I4;
        result->lVal = value_;
        return S_OK;
    }

private:
    LONG value_;
};

}  // namespace vtest

// A method of a test double that the code under test must not call.
#define VARNOK_UNEXPECTED_CALL(method, ...)                  \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { \
        ADD_FAILURE() << "unexpected call of " #method;      \
        return E_NOTIMPL;                                    \
    }

// Every method of IDtm, for a double that stands in for a DTM but is only kept, or asked for other
// interfaces.
#define VARNOK_UNEXPECTED_IDTM_CALLS                                            \
    VARNOK_UNEXPECTED_CALL(Environment, BSTR, IFrameContainer*, VARIANT_BOOL*)  \
    VARNOK_UNEXPECTED_CALL(InitNew, BSTR, VARIANT_BOOL*)                        \
    VARNOK_UNEXPECTED_CALL(Config, BSTR, VARIANT_BOOL*)                         \
    VARNOK_UNEXPECTED_CALL(SetCommunication, IFdtCommunication*, VARIANT_BOOL*) \
    VARNOK_UNEXPECTED_CALL(PrepareToDelete, VARIANT_BOOL*)                      \
    VARNOK_UNEXPECTED_CALL(PrepareToReleaseCommunication, VARIANT_BOOL*)        \
    VARNOK_UNEXPECTED_CALL(ReleaseCommunication, VARIANT_BOOL*)                 \
    VARNOK_UNEXPECTED_CALL(PrepareToRelease, VARIANT_BOOL*)                     \
    VARNOK_UNEXPECTED_CALL(SetLanguage, LONG, VARIANT_BOOL*)                    \
    VARNOK_UNEXPECTED_CALL(GetFunctions, BSTR, BSTR*)                           \
    VARNOK_UNEXPECTED_CALL(InvokeFunctionRequest, BSTR, BSTR, VARIANT_BOOL*)    \
    VARNOK_UNEXPECTED_CALL(PrivateDialogEnabled, VARIANT_BOOL, VARIANT_BOOL*)
