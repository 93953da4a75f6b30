#pragma once
// Registration of an in-process COM server by its file, as regsvr32 does: load it and call its
// DllRegisterServer. The frame host uses it when the DTM it should load is not registered yet.
#include <windows.h>

#include <string>

HRESULT RegisterServerModule(const std::wstring& path) noexcept;
