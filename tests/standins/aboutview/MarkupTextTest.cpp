// The about file's page reduced to the plain lines the about view shows.
#include <gtest/gtest.h>

#include <string>

#include "standins/aboutview/MarkupText.h"

namespace {

struct MarkupCase {
    const char* name;
    const wchar_t* markup;
    const wchar_t* text;
};

const MarkupCase kMarkupCases[] = {
    {"plain text stays", L"VarnokP3 DTM", L"VarnokP3 DTM"},
    {"white space runs become one space and none is left at the ends", L"  \r\n Thermal\t\tMass \r\n Flow  ",
     L"Thermal Mass Flow"},
    {"the head with its title and styles shows nothing",
     L"<html><head><title>About</title><style>p { margin: 0; }</style></head><body>Text</body></html>",
     L"Text"},
    {"a title outside a head shows nothing either", L"<TITLE>About</TITLE>Text", L"Text"},
    {"scripts, comments and declarations show nothing",
     L"<!DOCTYPE html><?xml version=\"1.0\"?>A<!-- <p>not shown</p> --><script>if (a < b) x();</script>B",
     L"AB"},
    {"blocks stand apart by an empty line", L"<h1>Title</h1><p>First.</p>\r\n<p>Second.</p>",
     L"Title\r\n\r\nFirst.\r\n\r\nSecond."},
    {"table rows are lines, their cells separated by a tab",
     L"<p>Head</p><table>\r\n<tr><td>Vendor</td><td>Orvo</td></tr>\r\n<tr><td>Bus</td> <td>PROFIBUS</td></tr>"
     L"</table><p>End</p>",
     L"Head\r\n\r\nVendor\tOrvo\r\nBus\tPROFIBUS\r\n\r\nEnd"},
    {"a line break begins a line and two leave an empty one", L"one<br>two<br/><BR >three",
     L"one\r\ntwo\r\n\r\nthree"},
    {"list items are lines", L"<ul><li>one</li><li>two</li></ul>", L"one\r\ntwo"},
    {"inline elements run on in their line", L"a <b>bold</b> and <a href=\"x>y\">linked</a> word",
     L"a bold and linked word"},
    {"tag names in any letter case", L"<P>one</P><Table><TR><TD>a</TD><TD>b</TD></TR></Table>",
     L"one\r\n\r\na\tb"},
    {"character references become their characters",
     L"&lt;p&gt; &amp; &quot;x&quot; &apos;y&apos; &#65;&#x42;&#X43; &copy;&nbsp;2005 &#x1F600;",
     L"<p> & \"x\" 'y' ABC \u00A9\u00A0"
     L"2005 \U0001F600"},
    {"an unknown or unfinished reference stays as it is", L"A &unknown; B & C &#xZZ; D &amp",
     L"A &unknown; B & C &#xZZ; D &amp"},
    {"a '<' that begins no tag is text", L"a < b <= c", L"a < b <= c"},
    {"a page that ends inside a tag or a hidden element", L"text<p class=\"x", L"text"},
    {"an unclosed style hides the rest", L"text<style>p { }", L"text"},
};

TEST(MarkupTextTest, ReducesThePageToPlainLines) {
    for (const MarkupCase& c : kMarkupCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(std::wstring(c.text), standins::PlainTextFromMarkup(c.markup));
    }
}

}  // namespace
