#pragma once
// The XML handler that the DTM object and every control and property page embed.
//
// It owns the schema folder that the frame named and one MSXML schema collection holding the FDT schema
// files, each under the namespace "x-schema:" plus the file name. Every FDT document of its owner is
// loaded through it and validated against that collection while it parses; a schema that a document
// names and the collection lacks is added from the folder once, and the load retried.
//
// The handler keeps no owner pointer: operations that can report take the owner's message sink (the
// DTM object's, which reaches the frame's error-text event, or a control's, which reaches its status
// line; null drops the messages), and InitializeSchemaCache the owner's schema list. A handler is used
// only on its owner's apartment thread; nothing is locked.
#include <windows.h>
#include <msxml2.h>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "values/QuelkMessageSink.h"
#include "values/XmlClassObjects.h"
#include "xml/SchemaLists.h"
#include "xml/SharedSchemaFiles.h"

struct IFrameContainer;

class CQuelkXMLHandlerImpl {
public:
    CQuelkXMLHandlerImpl() noexcept;
    CQuelkXMLHandlerImpl(const CQuelkXMLHandlerImpl&) = delete;
    CQuelkXMLHandlerImpl& operator=(const CQuelkXMLHandlerImpl&) = delete;
    // Releases the collection, then frees the folder, then lets the thread's shared parts go (members go in
    // reverse order).
    ~CQuelkXMLHandlerImpl() = default;

    // --- schema cache ---

    // Adds `fileName` from `folder` under "x-schema:" + fileName. `added` is always written: TRUE exactly
    // when the collection's add answered S_OK. S_FALSE when there is no collection yet; otherwise the
    // add's own code.
    HRESULT AddSchemaFile(const wchar_t* folder, const wchar_t* fileName, BOOL* added) noexcept;
    // Adds `fileName` from the handler's folder, or failing that from the registry's folder. S_OK when
    // added; else the last add's code, or S_FALSE when no add could be made at all.
    HRESULT AddSchema(BSTR fileName, BOOL* added) noexcept;
    // Keeps `folder` (may be null), creates the collection if there is none and adds every file of
    // `schemaList`. Each file that fails is reported and the loop goes on: S_OK even when every file
    // failed. An error code only when the collection cannot be created.
    HRESULT InitializeSchemaCache(const wchar_t* folder, SchemaList schemaList,
                                  CQuelkMessageSink* report) noexcept;
    // A control's route: replaces the control's container reference `container` with the frame's
    // IFrameContainer and fills the cache with BuiltInSchemaList from the folder it names. S_FALSE both
    // when the frame gives no container and on success; the error code of GetSchemaFolder or of
    // InitializeSchemaCache otherwise.
    HRESULT InitSchemaCacheFromFrame(IUnknown* frame, ql::ComPtr<IFrameContainer>& container,
                                     CQuelkMessageSink* report) noexcept;

    // --- document loading ---

    // Loads and validates `xml` into a new document. A text that does not parse or validate answers S_OK
    // with `loaded` VARIANT_FALSE and is reported with its parse error; only S_OK with VARIANT_TRUE hands
    // a document (one reference) to `document`, replacing what it held.
    HRESULT LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded,
                            CQuelkMessageSink* report) noexcept;
    // Replaces `*text` with "Error 0x<code>\nLine <l>, Column <c>\n\n<reason>" of the document's parse
    // error.
    HRESULT GetParseError(IXMLDOMDocument* document, BSTR* text, CQuelkMessageSink* report) noexcept;
    // When the document's parse error says a schema was not found, adds the quoted file names of its
    // reason from the handler's folder. `retry` (always written) is VARIANT_TRUE when one was added.
    HRESULT AddMissingSchema(IXMLDOMDocument* document, VARIANT_BOOL* retry) noexcept;

    // --- state, for owners and tests ---
    BSTR SchemaDirectory() const noexcept { return schemaDirectory_.Get(); }
    IXMLDOMSchemaCollection* SchemaCollection() const noexcept { return schemaCollection_.Get(); }

private:
    // Formats a message with the narrow printf rules and hands it to the owner's sink.
    static void Report(CQuelkMessageSink* sink, const char* format, ...) noexcept
#if defined(__MINGW_PRINTF_FORMAT)
        __attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3)))
#endif
        ;
    // The messages print codes as unsigned hexadecimal.
    static constexpr unsigned int CodeBits(HRESULT hr) noexcept { return static_cast<unsigned int>(hr); }

    HRESULT CreateSchemaCollection(CQuelkMessageSink* report) noexcept;
    HRESULT LoadValidated(BSTR xml, ql::ComPtr<IXMLDOMDocument2>& document, VARIANT_BOOL* loaded,
                          CQuelkMessageSink* report) noexcept;

    std::shared_ptr<CXmlClassObjects> classObjects_;
    std::shared_ptr<CSharedSchemaFiles> sharedSchemas_;
    ql::Bstr schemaDirectory_;
    ql::ComPtr<IXMLDOMSchemaCollection> schemaCollection_;
};
