#pragma once
// Every reach of a test past the DTM object's COM interfaces into its C++ insides, in one place. The tests
// drive the object through the interfaces a frame or a control queries; what no interface shows (a wait
// shortened for a test, the register of open user interfaces, the store's C++ object ...) goes through
// these functions, so a change of how the object holds its parts is followed here and nowhere else. Only
// the lifecycle's own fixtures in tests/dtm, which put doubles in place of the object's seams, reach
// further.
// Header only: a program that includes it links varnok_dtm.
#include <windows.h>
#include <msxml2.h>

#include <cstddef>
#include <string>
#include <utility>

#include "dtm/DtmObject.h"
#include "values/TextFileReader.h"

namespace dtmint {

// ---- The toolkit base ----

// Loads an FDT document through the DTM's own schema cache, as it loads what the frame sends.
inline HRESULT LoadXmlDocument(CDtmObject* dtm, BSTR xml, IXMLDOMDocument2** document,
                               VARIANT_BOOL* loaded) noexcept {
    return dtm->Lifecycle().LoadXMLDocument(xml, document, loaded);
}
// Whether the DTM holds the frame's data-set lock.
inline bool FrameLocked(CDtmObject* dtm) noexcept { return dtm->Lifecycle().FrameLocked(); }

// ---- The variable store ----

// The store's C++ object, for what its interfaces do not answer: the outcome of the last device result,
// the transfer's run and stop flags, and whole records for the tests' value generators.
inline CQuelkVariableStore& Store(CDtmObject* dtm) noexcept { return dtm->StorePart().Store(); }

// ---- The DP-V1 client ----

// Shortens the waits for a transaction's and a disconnect's answer.
inline void SetTransactionTimeouts(CDtmObject* dtm, DWORD transactionMs, DWORD disconnectMs) noexcept {
    dtm->Client().SetTimeouts(transactionMs, disconnectMs);
}
// The connection's reference, null while not connected.
inline BSTR CommunicationReference(CDtmObject* dtm) noexcept {
    return dtm->Client().CommunicationReference();
}
inline size_t PendingTransactionCount(CDtmObject* dtm) noexcept {
    return dtm->Client().PendingTransactions().Count();
}
inline bool HasChannel(CDtmObject* dtm) noexcept { return dtm->Client().HasChannel(); }
// What releasing the communication does to a connect or disconnect still unanswered.
inline HRESULT AbandonConnection(CDtmObject* dtm) noexcept { return dtm->Client().AbandonConnection(); }

// ---- The frame's online requests and the dataset transfer ----

inline bool IsOnlineRequestRunning(CDtmObject* dtm) noexcept {
    return dtm->OnlineRequests().IsRequestRunning();
}
inline BSTR RunningOnlineRequestId(CDtmObject* dtm) noexcept {
    return dtm->OnlineRequests().RunningInvokeId();
}
// The frame's text of the last online request.
inline BSTR OnlineRequestText(CDtmObject* dtm) noexcept { return dtm->OnlineRequests().RequestText(); }
// The progress report the transfer gives the frame, as the document parts report theirs.
inline void ReportTransferProgress(CDtmObject* dtm, LONG index, LONG count, BSTR title) noexcept {
    dtm->Transfer().ReportProgress(index, count, title);
}

// ---- The documents ----

// Where the documentation writes its dump of the last complete document.
inline void SetDocumentationDumpPath(CDtmObject* dtm, std::wstring path) noexcept {
    dtm->Documentation().SetDumpPath(std::move(path));
}
// Whether a comparison with another DTM of the project is set up (IDtmDataSetCheck::InitCompare).
inline bool CompareInitialised(CDtmObject* dtm) noexcept { return dtm->Lifecycle().CompareInitialised(); }

// ---- The functions and their open user interfaces ----

inline size_t OpenUiCount(CDtmObject* dtm) noexcept { return dtm->Functions().OpenUiCount(); }
// How many open user interfaces hold the frame's data-set lock.
inline ULONG DataLockHolders(CDtmObject* dtm) noexcept { return dtm->Functions().DataLockHolders(); }

// ---- The translations ----

// Replaces how the translation file's bytes become text (counting or checking decoders of the tests).
inline void UseTextDecoder(CDtmObject* dtm, TextDecoder decoder) noexcept {
    dtm->Localization().UseTextDecoder(decoder);
}

}  // namespace dtmint
