#pragma once
// The numbers every folder of the system shares, defined once below all of them so that each means one
// thing everywhere: the DTM's lifecycle states, the frame's user levels, the default language, the
// dataset's DTM-internal items, the DTM functions the views switch off, the notifications the DTM sends to
// its open user interfaces, a control's close request, and the bits of a parameter record's access word with
// the combinations the parameter table and the parameter maps start from. The state word, the user level and
// the access words themselves live in the DTM object and its dataset; these are only their values.
#include <windows.h>

#include <initializer_list>

// The DTM lifecycle. Every change is broadcast to the open user interfaces.
enum DtmLifecycleState : ULONG {
    kStateConstructed = 0,  // before the parameter table is built
    kStateCreated = 1,      // parameter table built, translation service initialised
    kStatePreparedToRelease = 2,
    kStatePreparedToDelete = 3,
    kStateNew = 4,               // persistence InitNew: a new, empty dataset
    kStateLoaded = 5,            // persistence Load
    kStateEnvironmentNew = 6,    // environment set on a new dataset, waiting for IDtm::InitNew
    kStateInitialised = 7,       // waiting for Config
    kStateConfigured = 8,        // offline, no channel
    kStateCommunicationSet = 9,  // channel set, offline
    kStateConnecting = 10,
    kStateDisconnecting = 11,
    kStateConnected = 12,  // online: device writes go to the device instead of the dataset
};

inline bool IsStateIn(ULONG state, std::initializer_list<ULONG> accepted) noexcept {
    for (ULONG candidate : accepted) {
        if (candidate == state) return true;
    }
    return false;
}

// A state range [first, last] of the lifecycle.
constexpr bool IsStateBetween(ULONG state, ULONG first, ULONG last) noexcept {
    return state >= first && state <= last;
}

// User levels: bit flags of the frame's user-information keywords, and the administrator's level above all
// of them. "observer" alone may not start an online request.
constexpr ULONG kUserLevelObserver = 1;
constexpr ULONG kUserLevelOperator = 2;
constexpr ULONG kUserLevelMaintenance = 4;
constexpr ULONG kUserLevelPlanningEngineer = 8;
constexpr ULONG kUserLevelAdministrator = 0x10000;

// The English language every DTM and control starts in and can fall back to.
constexpr ULONG kLanguageEnglish = 1033;

// The DTM-internal items of the dataset that other folders read and write by number.
constexpr ULONG kParameterApi = 2;               // DP-V1 API number of the connect request
constexpr ULONG kParameterStationAddress = 3;    // the device's bus address
constexpr ULONG kParameterBusConfiguration = 4;  // the bus information's configuration bytes
constexpr ULONG kParameterUserName = 10;         // the service login's user name
constexpr ULONG kParameterServicePassword = 11;  // the service login's password

// The DTM functions that follow the online state (the ids of the functions document) and whose user
// interfaces switch them off while they are open.
constexpr ULONG kFunctionOnlineParameterize = 2;
constexpr ULONG kFunctionWithoutRow = 3;  // has no row in the function table; switched with function 2
constexpr ULONG kFunctionDiagnosis = 4;
constexpr ULONG kFunctionMeasuredValue = 5;
constexpr ULONG kFunctionTrend = 8;

// Notifications to the open user interfaces (IQuelkControl::OnNotify), with the data each carries.
enum DtmNotification : ULONG {
    kNotifyLanguage = 0x2700,             // VT_I4 LCID
    kNotifyValueChanged = 0x2702,         // a dataset value changed: [id, value] or [id, id]
    kNotifyUserLevel = 0x2705,            // VT_UI4 user level
    kNotifySchemaFolder = 0x2709,         // VT_BSTR folder of the FDT schema files
    kNotifyDataLock = 0x270A,             // VT_BOOL; low 16 bits 1 unlock, else lock
    kNotifyDeviceValue = 0x2800,          // a value of an online transfer: [id, value as the caller gave it]
    kNotifyDeviceWritten = 0x2801,        // a value written to the device: id as VT_UI4
    kNotifyConnectionSucceeded = 0x3400,  // a connect or disconnect request succeeded; data empty
    kNotifyConnectionFailed = 0x3401,     // one failed; data the message as VT_BSTR
};

// A control asks to be closed by posting this to its own window (wParam 0, lParam the control); its
// handler asks the DTM, which asks the frame.
constexpr UINT kCloseRequestMessage = 0x1600;

// Bits of a record's access word. The value check answers in the same layout, and the low bits of a
// parameter-map row's state are the same bits.
enum VariableAccess : ULONG {
    kAccessWritable = 0x01,        // writable by the current user
    kAccessDiffers = 0x02,         // value held only in the dataset, not yet in the device
    kAccessRejected = 0x04,        // outside its range or enumeration
    kAccessNoCheck = 0x08,         // no check possible
    kAccessReadable = 0x10,        // readable from the device
    kAccessDeviceWritable = 0x20,  // writable to the device
    kAccessBulkTransfer = 0x40,    // part of the bulk upload and download
    kAccessOnlineTransferMark = 0x1000,
    kAccessOfflineStoreMark = 0x2000,
    kAccessCompareMark = 0x4000,
};

// The access words records and rows start from: a parameter the user writes and that is read from and
// written to the device, in the bulk transfers or only one at a time; a value only read from the device.
constexpr ULONG kAccessDeviceReadWrite =
    kAccessWritable | kAccessReadable | kAccessDeviceWritable | kAccessBulkTransfer;                 // 0x71
constexpr ULONG kAccessSingleReadWrite = kAccessWritable | kAccessReadable | kAccessDeviceWritable;  // 0x31
constexpr ULONG kAccessDeviceReadOnly = kAccessReadable | kAccessBulkTransfer;                       // 0x50
