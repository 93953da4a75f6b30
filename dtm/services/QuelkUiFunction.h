#pragma once
// QuelkUiFunction: one row of the DTM's UI-function table, the fixed description of a function (a user
// interface or an action) that the frame may offer. The functions document, the ActiveX information,
// the enabling of functions and the function calls all find a function's row by its function id.
#include <windows.h>
#include <unknwn.h>

// What a row writes into the functions document.
enum UiFunctionKind : ULONG {
    kUiEndOfTable = 0,
    kUiFunction = 1,             // Function without user interface (hasGUI 0)
    kUiFunctionWithGui = 2,      // Function with user interface (hasGUI 1)
    kUiStandardFunction = 3,     // StandardFunction with an appId:ApplicationId
    kUiDocument = 4,             // Document
    kUiFunctionsGroupOpen = 5,   // opening tag of a Functions group
    kUiFunctionsGroupClose = 6,  // closing tag of a Functions group
    kUiStandardGroupOpen = 7,    // opening tag of a StandardFunctions group with an appId:ApplicationId
    kUiStandardGroupClose = 8,   // closing tag of a StandardFunctions group
    kUiSeparator = 9,            // Function (hasGUI 0) whose Status has separator 1
};

// Bits of a row's status.
enum UiFunctionStatus : BYTE {
    kUiStatusEnabled = 0x01,
    kUiStatusHidden = 0x02,
    kUiStatusToggle = 0x04,
    kUiStatusChecked = 0x08,
    kUiStatusNoDataLock = 0x10,  // the function's user interface takes no data-set lock
};

// What a function without user interface runs when the frame invokes it; it receives the DTM object.
using UiFunctionHandler = HRESULT (*)(IUnknown* dtm) noexcept;

// Texts are text references as IQuelkDtm::LoadMessageText takes them: a string-resource id
// (MAKEINTRESOURCEA) or an ANSI text; null means none.
struct QuelkUiFunction {
    ULONG Kind;
    ULONG ApplicationId;  // FDT application id of kinds 3 and 7
    ULONG FunctionId;     // unique in the table
    LPCSTR Name;
    LPCSTR Label;
    LPCSTR Help;
    LPCSTR IconName;
    BYTE Status;
    ULONG MinUserLevel;        // listed only when the user level is at least this
    ULONG OperationPhaseMask;  // listed only when (mask AND phase) equals the phase
    ULONG Excluded;            // non-zero: never listed
    UiFunctionHandler Handler;
    const CLSID* ClassId;  // the control that shows the function
    LPCSTR ProgId;
    ULONG Printable;
    ULONG Resizable;
    LPCSTR DocumentPath;  // kind 4; also the parameters of a program started by OpenDocument
    LPCSTR OpenWith;      // program that opens the document
    LPCSTR MimeType;
};
