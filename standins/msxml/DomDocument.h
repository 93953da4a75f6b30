#pragma once
// CDomDocument: MSXML's DOMDocument (IXMLDOMDocument2) over the core's Document.
//
// MSXML 3's defaults: validateOnParse TRUE, resolveExternals TRUE, preserveWhiteSpace FALSE, async TRUE (kept
// as a property only: every load completes before it returns), SelectionLanguage XSLPattern. A load validates
// every "x-schema:" namespace of the document against the attached schema collection (`schemas`); a schema
// the collection lacks is read from a file named after the namespace, next to the loaded file (load) or in
// the current directory (loadXML). The document caches its node objects (NodeWrapperCache) without owning
// them; each node object holds the document (NodeAccess). Threading: apartment-threaded; one thread uses a
// document at a time.
#include <windows.h>

#include <msxml2.h>

#include <memory>
#include <string>

#include "classlib/ComObject.h"
#include "classlib/SupportErrorInfo.h"
#include "standins/msxml/DomNodeImpl.h"
#include "standins/msxml/NodeWrapperCache.h"
#include "standins/msxml/core/Document.h"

namespace msxml_standin {

class CSchemaCache;

class CDomDocument : public ql::ComObjectBase<CDomDocument>,
                     public DomNodeImpl<IXMLDOMDocument2>,
                     public ql::SupportErrorInfoImpl<&IID_IXMLDOMDocument2, &IID_IXMLDOMDocument> {
    QL_INTERFACE_TABLE(CDomDocument, QL_ENTRY_IID(IID_IXMLDOMDocument2, IXMLDOMDocument2),
                       QL_ENTRY_IID(IID_IXMLDOMDocument, IXMLDOMDocument2),
                       QL_ENTRY_IID(IID_IXMLDOMNode, IXMLDOMDocument2),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMDocument2), QL_ENTRY(ISupportErrorInfo))
public:
    CDomDocument() noexcept;
    ~CDomDocument() override;
    HRESULT FinalConstruct() noexcept;

    // ---- for the node objects, lists and the schema cache ----
    msxml_core::Document& CoreDocument() noexcept { return document_; }
    // The node object of `node` (a node of `tree`, one of this document's trees): the cached one, or a new
    // one. The document node of the current tree is the document object itself; another tree's document node
    // has none (S_FALSE and null), nor has a null node.
    HRESULT WrapNode(const std::shared_ptr<msxml_core::Tree>& tree, msxml_core::Node* node,
                     ql::ComPtr<IXMLDOMNode>& out) noexcept;
    void RememberNodeObject(const msxml_core::Node& node, IXMLDOMNode* object) noexcept;
    void ForgetNodeObject(const msxml_core::Node& node, const IXMLDOMNode* object) noexcept;
    IXMLDOMNode* FindNodeObject(const msxml_core::Node& node) const noexcept {
        return nodeObjects_.Find(node);
    }
    // Takes a copy of `tree`'s text as this document's content (the schema cache's get()).
    HRESULT LoadCopyOf(const msxml_core::Tree& tree) noexcept;

    // ---- IXMLDOMDocument ----
    HRESULT STDMETHODCALLTYPE get_doctype(IXMLDOMDocumentType** out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_implementation(IXMLDOMImplementation** out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_documentElement(IXMLDOMElement** out) noexcept override;
    HRESULT STDMETHODCALLTYPE putref_documentElement(IXMLDOMElement* element) noexcept override;
    HRESULT STDMETHODCALLTYPE createElement(BSTR tagName, IXMLDOMElement** out) noexcept override;
    HRESULT STDMETHODCALLTYPE createDocumentFragment(IXMLDOMDocumentFragment** out) noexcept override;
    HRESULT STDMETHODCALLTYPE createTextNode(BSTR data, IXMLDOMText** out) noexcept override;
    HRESULT STDMETHODCALLTYPE createComment(BSTR data, IXMLDOMComment** out) noexcept override;
    HRESULT STDMETHODCALLTYPE createCDATASection(BSTR data, IXMLDOMCDATASection** out) noexcept override;
    HRESULT STDMETHODCALLTYPE
    createProcessingInstruction(BSTR target, BSTR data, IXMLDOMProcessingInstruction** out) noexcept override;
    HRESULT STDMETHODCALLTYPE createAttribute(BSTR name, IXMLDOMAttribute** out) noexcept override;
    HRESULT STDMETHODCALLTYPE createEntityReference(BSTR name,
                                                    IXMLDOMEntityReference** out) noexcept override;
    HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR tagName, IXMLDOMNodeList** out) noexcept override;
    HRESULT STDMETHODCALLTYPE createNode(VARIANT type, BSTR name, BSTR namespaceUri,
                                         IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE nodeFromID(BSTR id, IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE load(VARIANT source, VARIANT_BOOL* loaded) noexcept override;
    HRESULT STDMETHODCALLTYPE get_readyState(LONG* state) noexcept override;
    HRESULT STDMETHODCALLTYPE get_parseError(IXMLDOMParseError** out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_url(BSTR* out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_async(VARIANT_BOOL* out) noexcept override;
    HRESULT STDMETHODCALLTYPE put_async(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE abort() noexcept override;
    HRESULT STDMETHODCALLTYPE loadXML(BSTR text, VARIANT_BOOL* loaded) noexcept override;
    HRESULT STDMETHODCALLTYPE save(VARIANT destination) noexcept override;
    HRESULT STDMETHODCALLTYPE get_validateOnParse(VARIANT_BOOL* out) noexcept override;
    HRESULT STDMETHODCALLTYPE put_validateOnParse(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_resolveExternals(VARIANT_BOOL* out) noexcept override;
    HRESULT STDMETHODCALLTYPE put_resolveExternals(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_preserveWhiteSpace(VARIANT_BOOL* out) noexcept override;
    HRESULT STDMETHODCALLTYPE put_preserveWhiteSpace(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_onreadystatechange(VARIANT sink) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ondataavailable(VARIANT sink) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ontransformnode(VARIANT sink) noexcept override;

    // ---- IXMLDOMDocument2 ----
    HRESULT STDMETHODCALLTYPE get_namespaces(IXMLDOMSchemaCollection** out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_schemas(VARIANT* out) noexcept override;
    HRESULT STDMETHODCALLTYPE putref_schemas(VARIANT collection) noexcept override;
    HRESULT STDMETHODCALLTYPE validate(IXMLDOMParseError** out) noexcept override;
    HRESULT STDMETHODCALLTYPE setProperty(BSTR name, VARIANT value) noexcept override;
    HRESULT STDMETHODCALLTYPE getProperty(BSTR name, VARIANT* value) noexcept override;

private:
    // Creates a node of the current tree with `create` and hands out its object as `iid`; E_FAIL when the
    // core refuses the name.
    template <class Create>
    HRESULT CreateAndHandOut(Create&& create, REFIID iid, void** out) noexcept;
    // Runs one load of `text` (or of the bytes of a file) with this document's schema settings.
    template <class LoadFn>
    bool RunLoad(LoadFn&& loadFn);
    bool ReadSchemaFile(msxml_core::XmlStringView fileName, std::string& bytes) const;
    void FailFileLoad(HRESULT code, const std::wstring& url);
    const msxml_core::ParseError& LastError() const noexcept;

    msxml_core::Document document_;
    ql::ComPtr<CSchemaCache> schemas_;
    NodeWrapperCache nodeObjects_;
    std::wstring url_;         // the location of the last successful load(); empty after loadXML
    std::wstring baseFolder_;  // where the current load looks for the schema files of "x-schema:" names
    bool async_ = true;
    bool resolveExternals_ = true;
    // A load that failed before the core saw any text (the file could not be read) reports this instead.
    bool fileErrorActive_ = false;
    msxml_core::ParseError fileError_;
};

}  // namespace msxml_standin
