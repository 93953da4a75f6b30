// libFuzzer target for the MSXML stand-in core: parser, XDR validator and
// selection on one input.
//
// Input layout: the bytes up to the first NUL byte are a schema file (added to
// a collection under "x-schema:Fuzz.xml" when it compiles); the rest up to a
// second NUL byte is the document (loaded as bytes, so encoding detection runs
// too); what follows is a selection expression, run in both languages. Inputs
// without a NUL are a document alone, so plain XML seeds work as they are.
#include "Document.h"
#include "TextEncoding.h"
#include "Writer.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using namespace msxml_core;

namespace {

// A fixed schema pair exercises validation even when the input carries none.
const char* const kBuiltInSchema =
    "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
    "<AttributeType name=\"n\" dt:type=\"ui4\"/><AttributeType name=\"e\" dt:type=\"enumeration\" "
    "dt:values=\"a b\"/>"
    "<ElementType name=\"v\" content=\"textOnly\" dt:type=\"bin.hex\"/>"
    "<ElementType name=\"r\" content=\"eltOnly\" model=\"closed\"><attribute type=\"n\"/><attribute "
    "type=\"e\"/>"
    "<element type=\"v\" minOccurs=\"0\" maxOccurs=\"*\"/><group order=\"one\" minOccurs=\"0\">"
    "<element type=\"r\"/><element type=\"v\"/></group></ElementType></Schema>";

void Exercise(Document& document, const std::string& expression) {
    XmlString text = document.Xml();
    (void)document.Save();
    XmlString expressionText;
    for (unsigned char c : expression) expressionText.push_back(c);
    const XmlStringView expressions[] = {expressionText, u"//*[@n=\"1\"]/@*", u"*/fdt:*[1]/text()"};
    for (SelectionLanguage language : {SelectionLanguage::XslPattern, SelectionLanguage::XPath}) {
        document.SetSelectionLanguage(language);
        for (XmlStringView candidate : expressions) {
            std::vector<Node*> nodes;
            XmlString reason;
            if (!document.SelectNodes(document.DocumentNode(), candidate, nodes, reason)) continue;
            for (Node* node : nodes) {
                TypedValue value;
                (void)Document::GetTypedValue(*node, value);
                (void)node->Text();
            }
        }
    }
    // The written form must load again.
    Document reloaded;
    reloaded.SetValidateOnParse(false);
    if (!reloaded.LoadXml(text) && !text.empty()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* end = data + size;
    const uint8_t* firstNul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    std::string schemaBytes;
    const uint8_t* documentStart = data;
    if (firstNul != nullptr && firstNul - data < 16384) {
        schemaBytes.assign(reinterpret_cast<const char*>(data), firstNul - data);
        documentStart = firstNul + 1;
    }
    const uint8_t* secondNul =
        static_cast<const uint8_t*>(std::memchr(documentStart, 0, static_cast<size_t>(end - documentStart)));
    const uint8_t* documentEnd = secondNul != nullptr ? secondNul : end;
    std::string expression = secondNul != nullptr ? std::string(reinterpret_cast<const char*>(secondNul + 1),
                                                                static_cast<size_t>(end - secondNul - 1))
                                                  : std::string("//*");

    // Compiled once: the built-in schema is the same for every input.
    static const SchemaCollection builtIn = [] {
        SchemaCollection collection;
        ParseError ignored;
        collection.AddFromBytes(u"x-schema:Builtin.xml", kBuiltInSchema, ignored);
        return collection;
    }();
    auto schemas = std::make_shared<SchemaCollection>();
    schemas->AddCollection(builtIn);
    ParseError error;
    if (!schemaBytes.empty()) schemas->AddFromBytes(u"x-schema:Fuzz.xml", schemaBytes, error);

    Document document;
    document.SetSchemas(schemas);
    document.SetSchemaLoader([&schemaBytes](XmlStringView, std::string& bytes) {
        bytes = schemaBytes;
        return !schemaBytes.empty();
    });
    if (document.LoadBytes(documentStart, static_cast<size_t>(documentEnd - documentStart), u"fuzz.xml")) {
        Exercise(document, expression);
    } else {
        // Without validation the same text may still be well formed.
        document.SetValidateOnParse(false);
        if (document.LoadBytes(documentStart, static_cast<size_t>(documentEnd - documentStart), u"fuzz.xml"))
            Exercise(document, expression);
    }
    return 0;
}
