#pragma once
// CQuelkVariant: a VARIANT that clears itself when it goes out of scope, the usual temporary for values
// passed to and returned from interface methods. A pointer to it is a pointer to its VARIANT, so it goes
// wherever a platform call or an interface method expects a VARIANT*.
//
// It owns whatever its VARIANT holds. It cannot be copied or assigned: a copy would share the owned
// string, array or reference and free it twice; code that needs a deep copy calls VariantCopy.
#include <windows.h>

#include <oleauto.h>

class CQuelkVariant : public VARIANT {
public:
    CQuelkVariant() noexcept;
    explicit CQuelkVariant(ULONG value) noexcept;
    explicit CQuelkVariant(LONG value) noexcept;
    CQuelkVariant(const CQuelkVariant&) = delete;
    CQuelkVariant& operator=(const CQuelkVariant&) = delete;
    virtual ~CQuelkVariant();
};
