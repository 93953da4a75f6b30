// A frame that drops its last reference to the registered DTM inside one of the DTM's calls to it (a
// project closed from an event handler): the DTM lives until the call that made the callback has returned,
// and is gone afterwards, when the module is asked whether it may unload (the thread's message loop lets it
// go as well: tests/classlib/SelfHoldTest.cpp).
#include <string>

#include "FrameTestSupport.h"
#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "frame/MessagePump.h"
#include "frame/simulator/SimulatedDpv1Channel.h"
#include "tests/support/ServerModule.h"

namespace frametest {
namespace {

constexpr wchar_t kModuleName[] = L"VarnokP3.dll";
constexpr DWORD kWaitMs = 10000;
constexpr ULONG kStationAddressId = 3;
constexpr ULONG kCalibrationFactorId = 39;  // read from the device
constexpr ULONG kOnlineParameterizeFunction = 2;

// The call into the DTM during which the frame drops it.
enum class Outer {
    SetParameters,         // IDtmParameter: the frame's lock and the dirty flag
    Save,                  // IPersistStreamInit of a modified dataset: the parameter document
    VerifyDataSet,         // IDtmDataSetCheck with an invalid value: the error message
    ShowMessage,           // IQuelkFunctions from an open user interface: the frame's user dialog
    Export,                // IDtmImportExport: the progress display
    SetFunctionEnabled,    // IQuelkFunctions from an open user interface: the functions changed
    ConnectAnswer,         // the channel's connect answer: the online event
    ReleaseCommunication,  // IDtm::PrepareToReleaseCommunication: the offline event
    DeviceRead,            // IQuelkVariablesEx's synchronous read, answered inside its wait: the dirty flag
};

struct DropCase {
    const char* name;
    const wchar_t* callback;  // the frame's method inside which it lets the DTM go
    const wchar_t* argument;  // its last argument as the frame records it; null: any
    Outer outer;
};

void PrintTo(const DropCase& c, std::ostream* out) { *out << c.name; }

const DropCase kCases[] = {
    {"LockDataSet", L"LockDataSet", nullptr, Outer::SetParameters},
    {"ParameterDocument", L"NotifyParameterDocument", nullptr, Outer::Save},
    {"UnlockDataSet", L"UnlockDataSet", nullptr, Outer::SetParameters},
    {"DirtyFlag", L"SetDirtyFlag", nullptr, Outer::SetParameters},
    {"ErrorMessage", L"NotifyErrorMessage", nullptr, Outer::VerifyDataSet},
    {"UserDialog", L"UserDialog", nullptr, Outer::ShowMessage},
    {"Progress", L"NotifyProgress", L"TRUE", Outer::Export},
    {"FunctionsChanged", L"NotifyFunctionsChanged", nullptr, Outer::SetFunctionEnabled},
    {"OnlineEvent", L"NotifyOnlineStateChanged", L"TRUE", Outer::ConnectAnswer},
    {"OfflineEvent", L"NotifyOnlineStateChanged", L"FALSE", Outer::ReleaseCommunication},
    {"DirtyFlagInsideADeviceRead", L"SetDirtyFlag", nullptr, Outer::DeviceRead},
};

// The interface of `object` without a reference kept: it lives only as long as the frame's own references.
template <class Interface>
Interface* Borrow(IUnknown* object) {
    ql::ComPtr<Interface> held;
    EXPECT_HR(S_OK, object->QueryInterface(__uuidof(Interface), held.PutVoid()));
    return held.Get();
}

class DroppedInsideCallbackTest : public FrameTest, public ::testing::WithParamInterface<DropCase> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(FrameTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(CreateConfiguredDtm(session_, frame_.Get()));
        ASSERT_HR(S_OK, ql::MakeObject(channel_));
        ASSERT_HR(S_OK, channel_->SetSchemaFolder(SourceTreeSchemaFolder()));
        SetStationAddress(channel_->Device().StationAddress());
    }
    void TearDown() override {
        session_.Release();
        if (channel_) channel_->DropCallback();
        channel_.Reset();
        FrameTest::TearDown();
    }

    void SetStationAddress(BYTE address) {
        ql::Variant value;
        value.SetUI1(address);
        ASSERT_HR(S_OK, Borrow<IQuelkVariablesEx>(session_.Object())->SetValue(kStationAddressId, *value));
    }
    void HandOverChannel() {
        VARIANT_BOOL result = VARIANT_FALSE;
        ASSERT_HR(S_OK, session_.Dtm()->SetCommunication(channel_.Get(), &result));
    }
    void GoOnline() {
        ASSERT_NO_FATAL_FAILURE(HandOverChannel());
        ASSERT_TRUE(PumpMessagesUntil([this] { return session_.State() != 10u; }, kWaitMs));
        ASSERT_EQ(12u, session_.State());
    }

    // What the case's call needs first: an invalid value, the DTM online, a saved value the device differs
    // from.
    void Prepare(Outer outer) {
        if (outer == Outer::VerifyDataSet) {
            ASSERT_NO_FATAL_FAILURE(SetStationAddress(127));  // 0 to 126
        }
        if (outer != Outer::ReleaseCommunication && outer != Outer::DeviceRead) return;
        ASSERT_NO_FATAL_FAILURE(GoOnline());
        if (outer != Outer::DeviceRead) return;
        ql::Variant value;
        value.SetR4(12345.5f);
        ASSERT_HR(S_OK, Borrow<IQuelkVariablesEx>(session_.Object())->SetValue(kCalibrationFactorId, *value));
        ql::ComPtr<IStream> stream;
        ASSERT_HR(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
        ASSERT_HR(S_OK, Borrow<IPersistStreamInit>(session_.Object())->Save(stream.Get(), TRUE));
    }
    // From now on the frame lets the DTM go inside the case's callback, and watches whether the DTM is
    // still alive in that callback and in every call it makes to the frame afterwards.
    void ArmDrop(const DropCase& c) {
        frame_->SetListener([this, c](const FrameCall& call) {
            if (dropped_) {
                aliveAfterDrop_ &= vtest::ServerCanUnloadNow(kModuleName) == S_FALSE;
                return;
            }
            if (call.Method != c.callback || (c.argument && call.Arguments.back() != c.argument)) return;
            dropped_ = true;
            session_.Release();
            channel_->DropCallback();  // the channel's hold on the DTM's answer sink goes with the project
            aliveAfterDrop_ = vtest::ServerCanUnloadNow(kModuleName) == S_FALSE;
        });
    }
    bool FrameHeldByDtm() {
        frame_->AddRef();
        return frame_->Release() > 1;
    }

    // Makes the case's call into the DTM (through pointers the frame does not hold itself).
    void CallDtm(Outer outer) {
        IUnknown* dtm = session_.Object();
        VARIANT_BOOL result = VARIANT_FALSE;
        switch (outer) {
            case Outer::SetParameters: {
                IDtmParameter* parameters = Borrow<IDtmParameter>(dtm);
                ql::Bstr document(ParameterDocumentWithTag(L"FT-closed"));
                (void)parameters->SetParameters(nullptr, document.Get(), &result);
                break;
            }
            case Outer::Save: {
                ql::ComPtr<IStream> stream;
                ASSERT_HR(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
                (void)Borrow<IPersistStreamInit>(dtm)->Save(stream.Get(), TRUE);
                break;
            }
            case Outer::VerifyDataSet:
                (void)Borrow<IDtmDataSetCheck>(dtm)->VerifyDataSet(&result);
                break;
            case Outer::ShowMessage: {
                ql::Bstr text(L"Close?"), title(L"Project");
                ULONG answer = 0;
                (void)Borrow<IQuelkFunctions>(dtm)->ShowMessage(text.Get(), title.Get(), MB_YESNO, &answer);
                break;
            }
            case Outer::Export: {
                ql::ComPtr<IStream> stream;
                ASSERT_HR(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
                (void)Borrow<IDtmImportExport>(dtm)->Export(stream.Get(), &result);
                break;
            }
            case Outer::SetFunctionEnabled:
                (void)Borrow<IQuelkFunctions>(dtm)->SetFunctionEnabled(kOnlineParameterizeFunction, TRUE);
                break;
            case Outer::ConnectAnswer:
                // The answer arrives later, while the frame's loop runs.
                ASSERT_NO_FATAL_FAILURE(HandOverChannel());
                ASSERT_TRUE(PumpMessagesUntil([this] { return dropped_; }, kWaitMs));
                break;
            case Outer::ReleaseCommunication:
                (void)Borrow<IDtm>(dtm)->PrepareToReleaseCommunication(&result);
                break;
            case Outer::DeviceRead:
                (void)Borrow<IQuelkVariablesEx>(dtm)->ReadFromDevice(kCalibrationFactorId, &result);
                break;
        }
    }

    static std::wstring ParameterDocumentWithTag(const wchar_t* tag) {
        return std::wstring(
                   L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:DTMParameterSchema.xml\" "
                   L"xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" fdt:storageState=\"persistent\" "
                   L"fdt:dataSetState=\"default\"><DtmDevice fdt:tag=\"") +
               tag + L"\"/></FDT>";
    }

    CDtmSession session_;
    ql::ComPtr<CSimulatedDpv1Channel> channel_;
    bool dropped_ = false;
    bool aliveAfterDrop_ = false;
};

TEST_P(DroppedInsideCallbackTest, TheDtmLivesUntilItsCallReturnsAndGoesAfterwards) {
    const DropCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Prepare(c.outer));
    ArmDrop(c);
    ASSERT_NO_FATAL_FAILURE(CallDtm(c.outer));
    ASSERT_TRUE(dropped_) << "the DTM never made the callback";
    EXPECT_TRUE(aliveAfterDrop_) << "freed while its call still ran";
    EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(kModuleName));
    EXPECT_FALSE(FrameHeldByDtm()) << "the DTM is still there";
}

INSTANTIATE_TEST_SUITE_P(Callbacks, DroppedInsideCallbackTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace frametest
