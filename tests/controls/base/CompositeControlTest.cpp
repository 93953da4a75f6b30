// The composite-control layer: a small control built on it, hosted by the frame's container and opened the
// way a frame opens a function's user interface, against the registered DTM: the registration comes before
// the function call is read, Init loads the rows, and the close request ends in PrepareToRelease with the
// control released and nothing left over.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "classlib/Bstr.h"
#include "classlib/ComModule.h"
#include "classlib/Variant.h"
#include "controls/base/QuelkCompositeControl.h"
#include "frame/ControlContainer.h"
#include "frame/FrameDocuments.h"
#include "frame/MessagePump.h"

namespace controltest {
namespace {

constexpr UINT kCompositeDialog = 500;
constexpr long kFunctionId = 7;

class CTestComposite final : public ql::ComObjectBase<CTestComposite>, public CQuelkCompositeControl {
    QL_INTERFACE_TABLE(CTestComposite, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CQuelkCompositeControl))

public:
    CTestComposite() noexcept
        : CQuelkCompositeControl(kCompositeDialog, CLSID_NULL, TestPageMap(), kTestButton) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }

    std::vector<std::string> calls;

    HRESULT STDMETHODCALLTYPE OnNotify(ULONG code, VARIANT data) noexcept override {
        char text[32];
        std::snprintf(text, sizeof text, "OnNotify %lX", static_cast<unsigned long>(code));
        calls.push_back(text);
        return CQuelkCompositeControl::OnNotify(code, data);
    }
    HRESULT STDMETHODCALLTYPE Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept override {
        calls.push_back("Init");
        return CQuelkCompositeControl::Init(dtm, ok);
    }
    using CQuelkCompositeControl::Init;
};

class CompositeControlTest : public DtmFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        locksBefore_ = ql::ComModule::Instance().LockCount();
        ASSERT_HR(S_OK, ql::MakeObject(control_));
        ASSERT_HR(S_OK, container_.OpenControl(control_->GetControllingUnknown(), L"Composite"));
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(control_->GetControllingUnknown(), fdt_));
    }
    void TearDown() override {
        container_.Close();
        fdt_.Reset();
        control_.Reset();
        DtmFixture::TearDown();
    }
    HRESULT InitFdt(const wchar_t* invokeId, const std::wstring& functionCall, VARIANT_BOOL* ok) {
        ql::Bstr id(invokeId), call(functionCall);
        ql::ComPtr<IDtm> dtm;  // as a frame hands the DTM over
        const HRESULT hr = ql::QueryInterfaceTo(session_.Object(), dtm);
        return FAILED(hr) ? hr : fdt_->Init(id.Get(), call.Get(), dtm.Get(), ok);
    }
    HWND Item(UINT id) const { return ::GetDlgItem(control_->DialogWindow(), static_cast<int>(id)); }

    LONG locksBefore_ = 0;
    ql::ComPtr<CTestComposite> control_;
    ql::ComPtr<IDtmActiveXControl> fdt_;
    CControlContainer container_;
};

TEST_F(CompositeControlTest, InitRegistersBeforeReadingTheCallAndLoadsTheRows) {
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK,
              InitFdt(L"{00000000-0000-0000-0000-000000000104}", FunctionCallDocument(kFunctionId), &ok));
    EXPECT_EQ(VARIANT_TRUE, ok);
    // The DTM's registration (schema cache, state, language) comes first: the function call could be read
    // against the schemas, then the control attached.
    const std::vector<std::string> expected = {"OnNotify 2700", "Init", "OnNotify 2700"};
    EXPECT_EQ(expected, control_->calls);
    EXPECT_NE(nullptr, control_->XmlHandler().SchemaCollection());
    EXPECT_EQ(8u, control_->DtmState());
    EXPECT_EQ(kFunctionId, control_->FunctionId());
    EXPECT_EQ(L"VarnokP3 DTM", WindowText(Item(kTagEdit)));
    EXPECT_FALSE(control_->IsLoading());
    EXPECT_FALSE(::IsWindowEnabled(Item(kTestButton)));  // the commit button waits for a change

    ql::Variant what, call;
    what.SetI4(kInfoFunctionCall);
    EXPECT_HR(S_FALSE, control_->GetInfo(*what, call.Get()));
    ASSERT_EQ(VT_BSTR, call.Type());
    EXPECT_EQ(FunctionCallDocument(kFunctionId), std::wstring(V_BSTR(call.Get())));

    // A control serves one function: a second Init is refused.
    EXPECT_HR(S_FALSE, InitFdt(L"{00000000-0000-0000-0000-000000000105}", FunctionCallDocument(1), &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_HR(S_OK, fdt_->PrepareToRelease(&ok));
}

// The close request goes through the DTM to the frame, which prepares the control's release and lets it go.
TEST_F(CompositeControlTest, CloseRequestEndsInPrepareToReleaseAndNothingIsLeft) {
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK,
              InitFdt(L"{00000000-0000-0000-0000-000000000106}", FunctionCallDocument(kFunctionId), &ok));
    HRESULT prepared = E_FAIL;
    frame_->SetUiCloser([this](const std::wstring&) { container_.RequestClose(); });
    container_.SetCloseHandler([&] {
        VARIANT_BOOL released = VARIANT_FALSE;
        prepared = fdt_->PrepareToRelease(&released);
        fdt_.Reset();
        container_.Close();
    });
    ASSERT_TRUE(control_->PostCloseRequest());
    EXPECT_TRUE(PumpMessagesUntil([this] { return !container_.IsOpen(); }, 10000));
    frame_->SetUiCloser(nullptr);
    EXPECT_HR(S_OK, prepared);
    EXPECT_EQ(nullptr, control_->Variables());
    control_.Reset();
    EXPECT_EQ(locksBefore_, ql::ComModule::Instance().LockCount());
}

// A function call without a function id is refused after the registration, which PrepareToRelease takes back.
TEST_F(CompositeControlTest, RefusedCallKeepsTheRegistrationUntilRelease) {
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(S_FALSE,
              InitFdt(L"{00000000-0000-0000-0000-000000000107}",
                      L"<FDT xmlns=\"x-schema:DTMFunctionCallSchema.xml\"><FDTFunctionCall/></FDT>", &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_NE(nullptr, control_->XmlHandler().SchemaCollection());  // registered: the DTM set up its schemas
    EXPECT_HR(S_OK, fdt_->PrepareToRelease(&ok));
}

}  // namespace
}  // namespace controltest
