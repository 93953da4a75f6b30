#include "classlib/ModuleTypeLibrary.h"

#include <oleauto.h>

#include <cwchar>

#include "classlib/Bstr.h"
#include "classlib/GuidText.h"
#include "classlib/HResult.h"
#include "classlib/RegKey.h"
#include "classlib/TypeAttr.h"

namespace ql {

namespace {

// A dual interface's IID names its dispatch description; ITypeInfo::Invoke needs the vtable description,
// or it would call back into IDispatch::Invoke.
HRESULT VtableTypeInfo(const ComPtr<ITypeInfo>& info, ComPtr<ITypeInfo>& out) {
    const TypeAttr attr(info.Get());
    QL_RETURN_IF_FAILED(attr.Status());
    if (attr->typekind != TKIND_DISPATCH || (attr->wTypeFlags & TYPEFLAG_FDUAL) == 0) {
        out = info;
        return S_OK;
    }
    HREFTYPE vtableRef = 0;
    QL_RETURN_IF_FAILED(info->GetRefTypeOfImplType(-1, &vtableRef));
    return info->GetRefTypeInfo(vtableRef, out.Put());
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// The library of the module file `path` (TYPELIB 1) and its attributes.
HRESULT LoadWithAttributes(const std::wstring& path, ComPtr<ITypeLib>& library, TLIBATTR& out) noexcept {
    QL_RETURN_IF_FAILED(LoadModuleTypeLibrary(path, library));
    TLIBATTR* attr = nullptr;
    QL_RETURN_IF_FAILED(library->GetLibAttr(&attr));
    out = *attr;
    library->ReleaseTLibAttr(attr);
    return S_OK;
}

// TypeLib\{libid}, and the version below it ("1.0"; RegisterTypeLib writes the numbers in hexadecimal).
std::wstring LibraryKey(const TLIBATTR& attr) { return L"TypeLib\\" + GuidText(attr.guid); }
std::wstring VersionName(const TLIBATTR& attr) {
    wchar_t version[16] = {};
    std::swprintf(version, sizeof(version) / sizeof(version[0]), L"%x.%x", attr.wMajorVerNum,
                  attr.wMinorVerNum);
    return version;
}
// The file's subkey below the version: "<lcid in hexadecimal>\win32" or "...\win64".
std::wstring FileKeyName(const TLIBATTR& attr) {
    wchar_t name[32] = {};
    std::swprintf(name, sizeof(name) / sizeof(name[0]), L"%lx\\%ls", static_cast<unsigned long>(attr.lcid),
                  attr.syskind == SYS_WIN64 ? L"win64" : L"win32");
    return name;
}

HRESULT SetKeyDefault(HKEY parent, const std::wstring& subKey, const std::wstring& value) noexcept {
    RegKey key;
    QL_RETURN_IF_FAILED(key.Create(parent, subKey.c_str()));
    return key.SetString(nullptr, value);
}

}  // namespace

std::wstring ModuleFilePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: try again with more room
    }
}

HRESULT LoadModuleTypeLibrary(const std::wstring& modulePath, ComPtr<ITypeLib>& out) noexcept {
    out.Reset();
    if (modulePath.empty()) return E_UNEXPECTED;
    return ::LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, out.Put());
}

HRESULT ModuleTypeLibrary::LoadLocked(HMODULE module) noexcept {
    if (library_) return S_OK;
    return GuardComCall([&] { return LoadModuleTypeLibrary(ModuleFilePath(module), library_); });
}

template <class LibraryLoader>
HRESULT ModuleTypeLibrary::CachedTypeInfoOf(REFGUID iid, ITypeInfo** out,
                                            LibraryLoader loadLibrary) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return GuardComCall([&]() -> HRESULT {
        CriticalSectionHold hold(lock_);
        for (const CachedTypeInfo& cached : infos_) {
            if (IsEqualGUID(cached.iid, iid)) return cached.info.CopyTo(out);
        }
        ComPtr<ITypeLib> library;
        QL_RETURN_IF_FAILED(loadLibrary(library));
        ComPtr<ITypeInfo> described;
        QL_RETURN_IF_FAILED(library->GetTypeInfoOfGuid(iid, described.Put()));
        ComPtr<ITypeInfo> info;
        QL_RETURN_IF_FAILED(VtableTypeInfo(described, info));
        infos_.push_back(CachedTypeInfo{iid, info});
        return info.CopyTo(out);
    });
}

HRESULT ModuleTypeLibrary::GetTypeInfo(HMODULE module, REFGUID iid, ITypeInfo** out) noexcept {
    return CachedTypeInfoOf(iid, out, [&](ComPtr<ITypeLib>& library) -> HRESULT {
        QL_RETURN_IF_FAILED(LoadLocked(module));
        library = library_;
        return S_OK;
    });
}

HRESULT ModuleTypeLibrary::GetRegisteredTypeInfo(const RegisteredTypeLibraryId& id, REFGUID iid,
                                                 ITypeInfo** out) noexcept {
    return CachedTypeInfoOf(iid, out, [&](ComPtr<ITypeLib>& library) {
        return ::LoadRegTypeLib(id.libid, id.major, id.minor, id.lcid, library.Put());
    });
}

HRESULT ModuleTypeLibrary::Register(HMODULE module) noexcept {
    return GuardComCall([&]() -> HRESULT {
        const std::wstring path = ModuleFilePath(module);
        ComPtr<ITypeLib> library;
        QL_RETURN_IF_FAILED(LoadModuleTypeLibrary(path, library));
        std::wstring helpFolder = FolderOf(path);
        std::wstring fullPath = path;  // the API takes writable strings
        return ::RegisterTypeLib(library.Get(), &fullPath[0], &helpFolder[0]);
    });
}

HRESULT ModuleTypeLibrary::Unregister(HMODULE module) noexcept {
    return GuardComCall([&]() -> HRESULT {
        ComPtr<ITypeLib> library;
        TLIBATTR attr{};
        QL_RETURN_IF_FAILED(LoadWithAttributes(ModuleFilePath(module), library, attr));
        return ::UnRegisterTypeLib(attr.guid, attr.wMajorVerNum, attr.wMinorVerNum, attr.lcid, attr.syskind);
    });
}

HRESULT ModuleTypeLibrary::RegisterLibraryOnly(HMODULE module) noexcept {
    return GuardComCall([&]() -> HRESULT {
        const std::wstring path = ModuleFilePath(module);
        ComPtr<ITypeLib> library;
        TLIBATTR attr{};
        QL_RETURN_IF_FAILED(LoadWithAttributes(path, library, attr));
        Bstr title;
        QL_RETURN_IF_FAILED(library->GetDocumentation(-1, nullptr, title.Put(), nullptr, nullptr));
        RegKey version;
        QL_RETURN_IF_FAILED(
            version.Create(HKEY_CLASSES_ROOT, (LibraryKey(attr) + L"\\" + VersionName(attr)).c_str()));
        QL_RETURN_IF_FAILED(version.SetString(nullptr, std::wstring(title.View())));
        QL_RETURN_IF_FAILED(SetKeyDefault(version.Get(), FileKeyName(attr), path));
        QL_RETURN_IF_FAILED(SetKeyDefault(version.Get(), L"FLAGS", std::to_wstring(attr.wLibFlags)));
        return SetKeyDefault(version.Get(), L"HELPDIR", FolderOf(path));
    });
}

HRESULT ModuleTypeLibrary::UnregisterLibraryOnly(HMODULE module) noexcept {
    return GuardComCall([&]() -> HRESULT {
        ComPtr<ITypeLib> library;
        TLIBATTR attr{};
        QL_RETURN_IF_FAILED(LoadWithAttributes(ModuleFilePath(module), library, attr));
        const std::wstring libraryKey = LibraryKey(attr);
        const LONG status =
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (libraryKey + L"\\" + VersionName(attr)).c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return HRESULT_FROM_WIN32(status);
        // Another version of the library keeps its id key: deleting a key that has subkeys fails.
        (void)::RegDeleteKeyW(HKEY_CLASSES_ROOT, libraryKey.c_str());
        return S_OK;
    });
}

void ModuleTypeLibrary::Clear() noexcept {
    CriticalSectionHold hold(lock_);
    infos_.clear();
    library_.Reset();
}

}  // namespace ql
