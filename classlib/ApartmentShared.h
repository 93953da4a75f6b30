#pragma once
// ql::ApartmentShared<T>: one T per apartment thread, shared by every holder on that thread and gone when
// the last holder lets go. For what is costly to make and the same for every object of a thread (parsed
// documents, compiled schemas, class objects), where the objects inside are apartment-bound and must not
// be used from another thread.
//
// The registry keeps weak references only, so it never decides a T's lifetime: the holders do, and the
// last one (an object released on its own apartment thread) destroys it there, before the thread leaves
// COM. Threads are told apart by CoGetCurrentProcess, whose value no later thread reuses (thread ids are
// reused). The registry's lock is held only to look up and record, never while a T is made or destroyed.
#include <windows.h>

#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "classlib/CriticalSection.h"

namespace ql {

// The calling thread's key among the apartments of the process.
DWORD CurrentApartmentKey() noexcept;

template <class T>
class ApartmentShared {
public:
    // The calling thread's T, made (default-constructed) when the thread holds none. Null only when memory
    // runs out.
    static std::shared_ptr<T> Hold() noexcept {
        const DWORD key = CurrentApartmentKey();
        if (std::shared_ptr<T> existing = Find(key)) return existing;
        try {
            auto made = std::make_shared<T>();
            Registry& registry = Instance();
            CriticalSectionHold hold(registry.lock);
            registry.entries.emplace_back(key, made);
            return made;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    // The calling thread's T when something on the thread holds one; null otherwise (nothing is made).
    static std::shared_ptr<T> Peek() noexcept { return Find(CurrentApartmentKey()); }

private:
    struct Registry {
        CriticalSection lock;
        std::vector<std::pair<DWORD, std::weak_ptr<T>>> entries;
    };
    static Registry& Instance() noexcept {
        static Registry registry;
        return registry;
    }
    static std::shared_ptr<T> Find(DWORD key) noexcept {
        Registry& registry = Instance();
        CriticalSectionHold hold(registry.lock);
        std::shared_ptr<T> found;
        // Entries whose holders are all gone are dropped on the way, so the list never outgrows the
        // threads that hold one.
        auto& entries = registry.entries;
        for (size_t i = 0; i < entries.size();) {
            if (entries[i].second.expired()) {
                entries[i] = std::move(entries.back());
                entries.pop_back();
                continue;
            }
            if (entries[i].first == key) found = entries[i].second.lock();
            ++i;
        }
        return found;
    }
};

}  // namespace ql
