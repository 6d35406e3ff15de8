// Self-registration of the server's classes. Entries go under
// HKEY_LOCAL_MACHINE\Software\Classes because Wine's CLSIDFromProgID does not
// find ProgIDs registered only for the current user. The DLL and the local
// server EXE register the same classes; each takes away the other's server key,
// so that a client asking for any context reaches the one registered last.
#include "sim/registration.h"
#include "sim/type_library.h"
#include "sim/server_module.h"
#include <objbase.h>
#include <mutex>
#include <set>
#include <string>

namespace {
const wchar_t kClassesRoot[] = L"Software\\Classes\\";

// Kinds whose entries SetClassRegistration deleted and nothing wrote since.
std::mutex removedMutex;
std::set<int> removedKinds;

class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* receive() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

// Creates `path` below the classes root and sets one string value of it
// (`name` nullptr: the default value).
LONG SetValue(const std::wstring& path, const wchar_t* name, const std::wstring& data) {
    RegistryKey key;
    LONG status =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClassesRoot + path).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.receive(), nullptr);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          bytes);
}

LONG DeleteTree(const std::wstring& path) {
    const LONG status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClassesRoot + path).c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

std::wstring ClassKey(const ServerClass& serverClass) {
    wchar_t text[40];
    StringFromGUID2(*serverClass.classId, text, sizeof(text) / sizeof(text[0]));
    return std::wstring(L"CLSID\\") + text;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(ServerModule(), &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

const wchar_t kInprocServerKey[] = L"\\InprocServer32";
const wchar_t kLocalServerKey[] = L"\\LocalServer32";

// The DLL names its path with its threading model; the EXE gives the command
// line COM starts it with (quoted, as a path may hold spaces).
LONG SetServerKey(const std::wstring& classKey, const std::wstring& modulePath) {
    if (Hosting() == ServerHosting::LocalServer) {
        const LONG status = DeleteTree(classKey + kInprocServerKey);
        return status != ERROR_SUCCESS
                   ? status
                   : SetValue(classKey + kLocalServerKey, nullptr, L"\"" + modulePath + L"\"");
    }
    LONG status = DeleteTree(classKey + kLocalServerKey);
    if (status == ERROR_SUCCESS) {
        status = SetValue(classKey + kInprocServerKey, nullptr, modulePath);
    }
    return status != ERROR_SUCCESS
               ? status
               : SetValue(classKey + kInprocServerKey, L"ThreadingModel", L"Apartment");
}

LONG Register(const ServerClass& serverClass, const std::wstring& modulePath) {
    const std::wstring progId = serverClass.progId;
    const std::wstring classKey = ClassKey(serverClass);
    const std::wstring classIdText = classKey.substr(classKey.find(L'{'));
    LONG status = SetValue(progId + L"\\CLSID", nullptr, classIdText);
    if (status == ERROR_SUCCESS) {
        status = SetValue(classKey, nullptr, progId);
    }
    if (status == ERROR_SUCCESS) {
        status = SetValue(classKey + L"\\ProgID", nullptr, progId);
    }
    // Where clients find the class's type library without an object.
    wchar_t libraryId[40];
    StringFromGUID2(kSimTypeLibId, libraryId, sizeof(libraryId) / sizeof(libraryId[0]));
    if (status == ERROR_SUCCESS) {
        status = SetValue(classKey + L"\\TypeLib", nullptr, libraryId);
    }
    if (status == ERROR_SUCCESS) {
        status =
            SetValue(classKey + L"\\Version", nullptr,
                     std::to_wstring(kSimTypeLibMajor) + L"." + std::to_wstring(kSimTypeLibMinor));
    }
    return status != ERROR_SUCCESS ? status : SetServerKey(classKey, modulePath);
}

LONG Unregister(const ServerClass& serverClass) {
    const LONG status = DeleteTree(serverClass.progId);
    const LONG classStatus = DeleteTree(ClassKey(serverClass));
    return status != ERROR_SUCCESS ? status : classStatus;
}

HRESULT RegisterWithModulePath(const ServerClass& serverClass) {
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty()) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return HRESULT_FROM_WIN32(Register(serverClass, modulePath));
}
} // namespace

HRESULT SetClassRegistration(const ServerClass& serverClass, bool registered) {
    std::lock_guard<std::mutex> lock(removedMutex);
    if (!registered) {
        removedKinds.insert(serverClass.kind);
        return HRESULT_FROM_WIN32(Unregister(serverClass));
    }
    const HRESULT hr = RegisterWithModulePath(serverClass);
    if (SUCCEEDED(hr)) {
        removedKinds.erase(serverClass.kind);
    }
    return hr;
}

HRESULT RestoreClassRegistrations() {
    std::lock_guard<std::mutex> lock(removedMutex);
    HRESULT firstFailure = S_OK;
    for (auto kind = removedKinds.begin(); kind != removedKinds.end();) {
        const HRESULT hr = RegisterWithModulePath(*FindClassByKind(*kind));
        if (SUCCEEDED(hr)) {
            kind = removedKinds.erase(kind);
        } else {
            if (SUCCEEDED(firstFailure)) {
                firstFailure = hr;
            }
            ++kind;
        }
    }
    return firstFailure;
}

HRESULT RegisterClassEntries(const ServerClass& serverClass) {
    return RegisterWithModulePath(serverClass);
}

HRESULT UnregisterClassEntries(const ServerClass& serverClass) {
    return HRESULT_FROM_WIN32(Unregister(serverClass));
}

HRESULT RegisterServerClasses() {
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty()) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    for (int i = 0; i < ServerClassCount(); ++i) {
        const LONG status = Register(ServerClasses()[i], modulePath);
        if (status != ERROR_SUCCESS) {
            return HRESULT_FROM_WIN32(status);
        }
    }
    std::lock_guard<std::mutex> lock(removedMutex);
    removedKinds.clear();
    return RegisterTypeLibrary();
}

HRESULT UnregisterServerClasses() {
    LONG firstFailure = ERROR_SUCCESS;
    for (int i = 0; i < ServerClassCount(); ++i) {
        const LONG status = Unregister(ServerClasses()[i]);
        if (firstFailure == ERROR_SUCCESS) {
            firstFailure = status;
        }
    }
    // A library that was never registered is no reason to fail.
    UnregisterTypeLibrary();
    return HRESULT_FROM_WIN32(firstFailure);
}
