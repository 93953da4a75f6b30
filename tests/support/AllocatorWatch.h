#pragma once
// Watches the COM task allocator (an IMallocSpy) while it lives: which blocks are allocated and which are
// freed, each by the address the allocator handed out. BSTRs come from that allocator, so a test can tell
// whether a callee freed a caller's string. The platform keeps freed BSTRs in a cache unless OANOCACHE is
// set in the process's environment when it starts: without it no freed string reaches the allocator, and
// the watch does not begin (Status() answers HRESULT_FROM_WIN32(ERROR_ENVVAR_NOT_FOUND)).
#include <windows.h>
#include <objidl.h>

#include <vector>

#include "classlib/ComPtr.h"

namespace vtest {

class AllocatorWatch {
public:
    AllocatorWatch();
    AllocatorWatch(const AllocatorWatch&) = delete;
    AllocatorWatch& operator=(const AllocatorWatch&) = delete;
    ~AllocatorWatch();

    HRESULT Status() const { return status_; }
    // The start of the block, allocated while this watch lives and not yet freed, that holds `address`;
    // null for any other address.
    const void* BlockOf(const void* address) const;
    // The blocks freed since the last call (or since the watch began), in order.
    std::vector<const void*> TakeFrees();
    // Whether a freed string reaches the allocator at once, as it does with OANOCACHE set.
    bool FreesReachAllocator();

private:
    class Spy;
    ql::ComPtr<Spy> spy_;
    HRESULT status_ = E_FAIL;
};

}  // namespace vtest
