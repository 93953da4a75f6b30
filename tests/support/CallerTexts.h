#pragma once
// Three texts a caller allocates and keeps as its own while it lends them ("first", "second", "third").
// After the call it frees them, and its process takes the memory for other texts of the same lengths:
// whatever kept them then reads those. With an AllocatorWatch a test tells whether a callee freed them.
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "tests/support/AllocatorWatch.h"

namespace vtest {

class CallerTexts {
public:
    CallerTexts();
    CallerTexts(const CallerTexts&) = delete;
    CallerTexts& operator=(const CallerTexts&) = delete;
    ~CallerTexts();

    const std::vector<BSTR>& Texts() const { return texts_; }
    // The allocator's blocks of the texts, as `watch` saw them allocated.
    std::vector<const void*> Blocks(const AllocatorWatch& watch) const;
    // The positions among `blocks` (from Blocks) of the blocks in `frees`: the texts a callee freed.
    static std::vector<size_t> FreedAmong(const std::vector<const void*>& blocks,
                                          const std::vector<const void*>& frees);
    void FreeAndReuse();

private:
    std::vector<BSTR> texts_;
    std::vector<BSTR> others_;
};

}  // namespace vtest
