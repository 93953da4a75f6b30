#pragma once
// DtmDocumentsHost: what the document parts (parameter document, data-set check, import and export,
// documentation) need of the DTM object that embeds them. The DTM object implements it over its toolkit
// base (state, user level, frame, XML handler, lock flags, compare link), its persistence part (the modified
// flag and its notification), its functions part (the UI-function table) and its communication part (the
// progress display of the dataset transfer); CDtmDocumentsHostFor is the ready-made adapter. Everything else
// the parts reach through the DTM's own interfaces, asked of the controlling unknown: IQuelkVariables /
// IQuelkVariablesEx / IQuelkVariableFields (the store), IQuelkBusInformation (the communication part),
// IQuelkPersistExtension (an aggregating object), IQuelkLocalization (the translations) and IDtmObject (the
// device reads and the progress of the documentation).
//
// Called on the DTM object's apartment thread only. Pointers and strings handed out are borrowed: no
// reference is added, nothing is copied.
#include <windows.h>
#include <msxml2.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "dataset/QuelkVariableStore.h"
#include "values/QuelkMessageSink.h"
#include "xml/QuelkXMLHandlerImpl.h"

class DtmDocumentsHost {
public:
    // The lifecycle state (8 configured ... 12 online).
    virtual ULONG State() noexcept = 0;
    // The user level bits (1 observer, 2 operator, 4 maintenance, 8 planning engineer, 0x10000
    // administrator).
    virtual ULONG UserLevel() noexcept = 0;
    virtual BSTR SystemTag() noexcept = 0;
    // The XML text of the fdt:DtmDeviceType the frame gave with InitNew (may be null).
    virtual BSTR DeviceType() noexcept = 0;
    // The frame's container given with Environment, and its event interface; null before Environment.
    virtual IFrameContainer* Frame() noexcept = 0;
    virtual IFrameEvents* FrameEvents() noexcept = 0;
    // The DTM object's identity (the outer object when aggregated); no reference added.
    virtual IUnknown* ControllingUnknown() noexcept = 0;
    virtual CQuelkVariableStore& Store() noexcept = 0;
    // The DTM's XML handler (its schema cache) and the sink of its reports to the frame.
    virtual CQuelkXMLHandlerImpl& XmlHandler() noexcept = 0;
    virtual CQuelkMessageSink* MessageSink() noexcept = 0;
    // The dataset-modified flag of the persistence part, and its notification to the frame: while
    // suspended, becoming modified is not reported; resuming reports once if the dataset became modified.
    virtual bool DatasetModified() noexcept = 0;
    virtual HRESULT SuspendModifiedNotification(bool suspend) noexcept = 0;
    // The frame granted the data-set lock to the open user interfaces (the DTM holds it).
    virtual bool FrameLocked() noexcept = 0;
    // The frame locked the DTM's data through IDtmDataLock.
    virtual bool DataLocked() noexcept = 0;
    // Whether the UI-function table has a row for `functionId` (false when there is no table).
    virtual bool HasUiFunction(LONG functionId) noexcept = 0;
    // The frame's progress display, shown the way the DTM's dataset transfer shows it: index 0 hides it,
    // any other index shows index * 100 / count percent with the title unless a transfer stop is requested.
    virtual void ReportProgress(LONG index, LONG count, BSTR title) noexcept = 0;

    // The comparison link with another DTM of the project, kept by the toolkit base: set up by InitCompare,
    // running while Compare runs, the other DTM's system tag and its record access.
    virtual bool CompareInitialised() noexcept = 0;
    virtual void SetCompareInitialised(bool initialised) noexcept = 0;
    virtual bool CompareRunning() noexcept = 0;
    virtual void SetCompareRunning(bool running) noexcept = 0;
    virtual ql::Bstr& ComparePeerTag() noexcept = 0;
    virtual ql::ComPtr<IQuelkVariableFields>& ComparePeerStore() noexcept = 0;

protected:
    ~DtmDocumentsHost() = default;
};
