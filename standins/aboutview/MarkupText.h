#pragma once
// The plain text a reader sees in an HTML page, for a view that shows the page in a multi-line edit rather
// than a browser: no markup, no styles, the page's blocks on lines of their own.
#include <string>
#include <string_view>

namespace standins {

// `markup` reduced to plain lines:
// - the head (with its title), styles, scripts, comments and declarations leave nothing;
// - headings, paragraphs, lists, tables and the like stand apart with an empty line between them; a table
//   row, a list item and <br> each begin a line; the cells of a row are separated by a tab;
// - every run of white space is one space, and no line begins or ends with one;
// - the character references of the five markup characters, &nbsp;, &copy;, &reg; and numeric ones become
//   their characters; any other '&' stays as it is.
// Lines end in "\r\n", as the edit control wants them; the text neither begins nor ends with a line break.
// Throws std::bad_alloc.
std::wstring PlainTextFromMarkup(std::wstring_view markup);

}  // namespace standins
