// The parse error record of one load, shaped like IXMLDOMParseError.
#pragma once

#include "ErrorCodes.h"
#include "XmlString.h"

namespace msxml_core {

struct ParseError {
    ErrorCode errorCode = codes::kOk;
    // Reason text; every line ends with a line feed, as the missing-schema
    // recovery of the callers scans it line by line.
    XmlString reason;
    XmlString url;
    // 1-based line and column of the place where the error was found; filepos is
    // the 0-based character offset of that place in the decoded text.
    long line = 0;
    long linepos = 0;
    long filepos = 0;
    // The text of the line in which the error was found, without its line end.
    XmlString srcText;

    bool Failed() const { return errorCode != codes::kOk; }
    void Clear() { *this = ParseError(); }
};

// Builds an MSXML-3-style reason: the template of the code with %1 and %2
// replaced, ending in a line feed.
XmlString FormatReason(ErrorCode code, XmlStringView arg1 = {}, XmlStringView arg2 = {});

// Fills line, linepos, filepos and srcText from an offset into text.
void LocateError(XmlStringView text, size_t offset, ParseError& error);

}  // namespace msxml_core
