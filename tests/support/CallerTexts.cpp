#include "tests/support/CallerTexts.h"

#include <algorithm>

namespace vtest {

CallerTexts::CallerTexts() {
    for (const wchar_t* text : {L"first", L"second", L"third"}) texts_.push_back(::SysAllocString(text));
}

CallerTexts::~CallerTexts() {
    for (BSTR text : texts_) ::SysFreeString(text);
    for (BSTR text : others_) ::SysFreeString(text);
}

std::vector<const void*> CallerTexts::Blocks(const AllocatorWatch& watch) const {
    std::vector<const void*> blocks;
    for (BSTR text : texts_) blocks.push_back(watch.BlockOf(text));
    return blocks;
}

std::vector<size_t> CallerTexts::FreedAmong(const std::vector<const void*>& blocks,
                                            const std::vector<const void*>& frees) {
    std::vector<size_t> freed;
    for (const void* block : frees) {
        const auto found = std::find(blocks.begin(), blocks.end(), block);
        if (block && found != blocks.end()) freed.push_back(static_cast<size_t>(found - blocks.begin()));
    }
    return freed;
}

void CallerTexts::FreeAndReuse() {
    for (BSTR& text : texts_) {
        const UINT length = ::SysStringLen(text);
        ::SysFreeString(text);
        text = nullptr;
        const BSTR other = ::SysAllocStringLen(nullptr, length);
        std::fill(other, other + length, L'Z');
        others_.push_back(other);
    }
}

}  // namespace vtest
