// Safety limits on untrusted documents (they come from frames, channels and files).
#pragma once

#include <cstddef>

namespace msxml_core {

// Deepest element nesting accepted; the document element is level 1.
constexpr size_t kMaxNestingDepth = 256;
// Longest name or attribute value, in characters.
constexpr size_t kMaxTokenLength = size_t{1} << 20;
// Largest document, in bytes of its encoded form (UTF-16 text counts two per character).
constexpr size_t kMaxDocumentBytes = size_t{64} << 20;

}  // namespace msxml_core
