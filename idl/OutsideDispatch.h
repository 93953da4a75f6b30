#pragma once
// IDispatch for the interfaces that type libraries outside the module describe: the FDT interfaces
// (the frame side's "Fdt100", version 1.0 or any later 1.x, US English) and the toolkit's framework
// interfaces. The module's own library holds neither, so registering the module never takes over
// their registrations; without those libraries IDispatch fails and the vtables still work.
#include "Fdt100.h"
#include "QuelkToolkit.h"
#include "classlib/DispatchImpl.h"

constexpr LCID kOutsideTypeLibraryLcid = 0x409;

template <class DualInterface>
using FdtDispatchImpl =
    ql::DispatchImpl<DualInterface, ql::RegisteredTypeInfo<LIBID_Fdt100, 1, 0, kOutsideTypeLibraryLcid>>;
template <class DualInterface>
using ToolkitDispatchImpl =
    ql::DispatchImpl<DualInterface,
                     ql::RegisteredTypeInfo<LIBID_QuelkToolkitLib, 1, 0, kOutsideTypeLibraryLcid>>;
