#include "MarkupText.h"

#include <algorithm>

namespace standins {

namespace {

// How far apart the text on either side of a tag stands.
enum class Gap { None, Line, Block };

struct TagGap {
    const wchar_t* name;
    Gap gap;
};

// Elements whose text stands apart from what surrounds it; every other element runs on in its line.
constexpr TagGap kTagGaps[] = {
    {L"p", Gap::Block},      {L"div", Gap::Block},        {L"h1", Gap::Block}, {L"h2", Gap::Block},
    {L"h3", Gap::Block},     {L"h4", Gap::Block},         {L"h5", Gap::Block}, {L"h6", Gap::Block},
    {L"table", Gap::Block},  {L"ul", Gap::Block},         {L"ol", Gap::Block}, {L"dl", Gap::Block},
    {L"pre", Gap::Block},    {L"blockquote", Gap::Block}, {L"hr", Gap::Block}, {L"address", Gap::Block},
    {L"tr", Gap::Line},      {L"li", Gap::Line},          {L"dt", Gap::Line},  {L"dd", Gap::Line},
    {L"caption", Gap::Line},
};

// Elements whose content is not shown: it is skipped up to the element's end tag.
constexpr const wchar_t* kHiddenElements[] = {L"head", L"title", L"style", L"script"};

struct NamedCharacter {
    const wchar_t* name;
    wchar_t character;
};

constexpr NamedCharacter kNamedCharacters[] = {
    {L"amp", L'&'},   {L"lt", L'<'},        {L"gt", L'>'},        {L"quot", L'"'},
    {L"apos", L'\''}, {L"nbsp", L'\u00A0'}, {L"copy", L'\u00A9'}, {L"reg", L'\u00AE'},
};

// The longest reference read after '&' before it counts as a plain '&' ("#x10FFFF" and the names above).
constexpr size_t kLongestReference = 8;

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; }

bool IsNameCharacter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Where `name`'s end tag begins at or after `from` (any letter case), or npos.
size_t FindEndTag(std::wstring_view markup, size_t from, std::wstring_view name) {
    for (size_t at = markup.find(L"</", from); at != std::wstring_view::npos;
         at = markup.find(L"</", at + 2)) {
        const std::wstring_view rest = markup.substr(at + 2);
        if (rest.size() < name.size()) return std::wstring_view::npos;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i) same = Lower(rest[i]) == name[i];
        if (same && (rest.size() == name.size() || !IsNameCharacter(rest[name.size()]))) return at;
    }
    return std::wstring_view::npos;
}

// Where the tag that begins at `open` ends: past its '>', quoted attribute values passed over whole.
size_t TagEnd(std::wstring_view markup, size_t open) {
    wchar_t quote = 0;
    for (size_t at = open + 1; at < markup.size(); ++at) {
        const wchar_t c = markup[at];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        } else if (c == L'>') {
            return at + 1;
        }
    }
    return markup.size();
}

// The code point of a numeric reference's digits ("#65", "#x41"); 0 when they are none.
char32_t NumericReference(std::wstring_view digits) {
    const bool hex = !digits.empty() && (digits[0] == L'x' || digits[0] == L'X');
    if (hex) digits.remove_prefix(1);
    if (digits.empty()) return 0;
    char32_t value = 0;
    for (wchar_t c : digits) {
        int digit = -1;
        if (c >= L'0' && c <= L'9') digit = c - L'0';
        if (hex && c >= L'a' && c <= L'f') digit = c - L'a' + 10;
        if (hex && c >= L'A' && c <= L'F') digit = c - L'A' + 10;
        if (digit < 0) return 0;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF) return 0;
    }
    // Surrogate halves are no characters of their own.
    return value >= 0xD800 && value <= 0xDFFF ? 0 : value;
}

// Collects the shown characters into lines; the gaps and spaces between them are decided when the next
// shown character comes, so nothing trails at the end of a line or of the text.
class LineWriter {
public:
    void Character(wchar_t c) {
        if (IsSpace(c)) {
            space_ = true;
            return;
        }
        if (!text_.empty()) {
            if (gap_ == Gap::Block) {
                text_ += L"\r\n\r\n";
            } else if (gap_ == Gap::Line || breaks_ > 0) {
                for (int i = 0; i < std::max(breaks_, 1); ++i) text_ += L"\r\n";
            } else if (cell_) {
                text_ += L'\t';
            } else if (space_ && text_.back() != L'\n') {
                text_ += L' ';
            }
        }
        text_ += c;
        gap_ = Gap::None;
        breaks_ = 0;
        cell_ = space_ = false;
    }
    void CodePoint(char32_t c) {
        if (c < 0x10000) {
            Character(static_cast<wchar_t>(c));
            return;
        }
        c -= 0x10000;
        Character(static_cast<wchar_t>(0xD800 + (c >> 10)));
        text_ += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    }
    // The larger gap wins: a paragraph's end followed by a row's start is still one empty line.
    void Separate(Gap gap) { gap_ = std::max(gap_, gap); }
    // <br> twice leaves an empty line; more leave no more.
    void LineBreak() { breaks_ = std::min(breaks_ + 1, 2); }
    // A cell's text follows the row's earlier cells after a tab.
    void Cell() { cell_ = true; }
    std::wstring Take() { return std::move(text_); }

private:
    std::wstring text_;
    Gap gap_ = Gap::None;
    int breaks_ = 0;
    bool cell_ = false;
    bool space_ = false;
};

class MarkupReader {
public:
    explicit MarkupReader(std::wstring_view markup) : markup_(markup) {}

    std::wstring Read() {
        while (at_ < markup_.size()) {
            const wchar_t c = markup_[at_];
            if (c == L'<' && Tag()) continue;
            if (c == L'&' && Reference()) continue;
            writer_.Character(c);
            ++at_;
        }
        return writer_.Take();
    }

private:
    // A tag, comment or declaration at `at_`: passed over with its effect on the text. False when the '<'
    // begins none of them and is a character of the text.
    bool Tag() {
        const std::wstring_view rest = markup_.substr(at_);
        if (rest.substr(0, 4) == L"<!--") {
            const size_t end = markup_.find(L"-->", at_ + 4);
            at_ = end == std::wstring_view::npos ? markup_.size() : end + 3;
            return true;
        }
        if (rest.size() > 1 && (rest[1] == L'!' || rest[1] == L'?')) {
            at_ = TagEnd(markup_, at_);
            return true;
        }
        const bool closing = rest.size() > 1 && rest[1] == L'/';
        size_t nameStart = at_ + (closing ? 2 : 1);
        size_t nameEnd = nameStart;
        while (nameEnd < markup_.size() && IsNameCharacter(markup_[nameEnd])) ++nameEnd;
        if (nameEnd == nameStart) return false;
        std::wstring name(markup_.substr(nameStart, nameEnd - nameStart));
        std::transform(name.begin(), name.end(), name.begin(), Lower);
        at_ = TagEnd(markup_, at_);
        if (!closing && IsHidden(name) && markup_[at_ - 1] == L'>' && markup_[at_ - 2] != L'/') {
            const size_t end = FindEndTag(markup_, at_, name);
            at_ = end == std::wstring_view::npos ? markup_.size() : TagEnd(markup_, end);
            return true;
        }
        if (name == L"br") {
            if (!closing) writer_.LineBreak();
        } else if (name == L"td" || name == L"th") {
            if (!closing) writer_.Cell();
        } else {
            for (const TagGap& entry : kTagGaps) {
                if (name == entry.name) writer_.Separate(entry.gap);
            }
        }
        return true;
    }

    // A character reference at `at_`: its character written and passed over. False when the '&' begins
    // none this reader knows and is a character of the text.
    bool Reference() {
        const size_t end = markup_.find(L';', at_ + 1);
        if (end == std::wstring_view::npos || end - at_ - 1 > kLongestReference) return false;
        const std::wstring_view body = markup_.substr(at_ + 1, end - at_ - 1);
        char32_t character = 0;
        if (!body.empty() && body[0] == L'#') {
            character = NumericReference(body.substr(1));
        } else {
            for (const NamedCharacter& entry : kNamedCharacters) {
                if (body == entry.name) character = entry.character;
            }
        }
        if (character == 0) return false;
        writer_.CodePoint(character);
        at_ = end + 1;
        return true;
    }

    static bool IsHidden(const std::wstring& name) {
        for (const wchar_t* hidden : kHiddenElements) {
            if (name == hidden) return true;
        }
        return false;
    }

    std::wstring_view markup_;
    size_t at_ = 0;
    LineWriter writer_;
};

}  // namespace

std::wstring PlainTextFromMarkup(std::wstring_view markup) { return MarkupReader(markup).Read(); }

}  // namespace standins
