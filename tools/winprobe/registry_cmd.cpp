// regread: registry values with their types; binary data as hex.
#include "framework/handle_win.h"
#include "probe.h"

namespace probe {
namespace {

struct Root {
    const wchar_t* name;
    HKEY key;
};

const Root kRoots[] = {
    {L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKCU", HKEY_CURRENT_USER},  {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKCR", HKEY_CLASSES_ROOT},  {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {L"HKU", HKEY_USERS},          {L"HKEY_USERS", HKEY_USERS},
};

bool SplitRoot(const std::wstring& path, HKEY* root, std::wstring* sub) {
    size_t slash = path.find(L'\\');
    std::wstring head = path.substr(0, slash);
    for (const auto& r : kRoots) {
        if (_wcsicmp(r.name, head.c_str()) == 0) {
            *root = r.key;
            *sub = slash == std::wstring::npos ? L"" : path.substr(slash + 1);
            return true;
        }
    }
    return false;
}

const wchar_t* TypeName(DWORD type) {
    switch (type) {
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_DWORD: return L"REG_DWORD";
    case REG_QWORD: return L"REG_QWORD";
    case REG_BINARY: return L"REG_BINARY";
    case REG_NONE: return L"REG_NONE";
    default: return L"REG_OTHER";
    }
}

// Strings as stored, up to the first terminator (a value need not carry one).
std::wstring StringData(const std::vector<BYTE>& data) {
    std::wstring s(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    size_t nul = s.find(L'\0');
    return nul == std::wstring::npos ? s : s.substr(0, nul);
}

// Every string of the list, empty ones included (the delete-at-restart list holds an empty
// target for each deletion); only the final empty string, the list's own end, is dropped.
std::string MultiData(const std::vector<BYTE>& data) {
    std::wstring s(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    std::vector<std::wstring> items;
    size_t pos = 0;
    while (pos < s.size()) {
        size_t nul = s.find(L'\0', pos);
        if (nul == std::wstring::npos) nul = s.size();
        items.push_back(s.substr(pos, nul - pos));
        pos = nul + 1;
    }
    if (!items.empty() && items.back().empty()) items.pop_back();
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + Quote(items[i]);
    return out + "]";
}

void PrintValue(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    Json j;
    j.Str("name", name).Str("type", TypeName(type)).Num("size", static_cast<long long>(data.size()));
    if ((type == REG_SZ || type == REG_EXPAND_SZ)) {
        j.Str("data", StringData(data));
    } else if (type == REG_MULTI_SZ) {
        j.Raw("data", MultiData(data));
    } else if (type == REG_DWORD && data.size() == 4) {
        j.Num("data", *reinterpret_cast<const DWORD*>(data.data()));
    } else if (type == REG_QWORD && data.size() == 8) {
        j.Num("data", *reinterpret_cast<const long long*>(data.data()));
    } else {
        j.Str("data", Hex(data.data(), data.size()));
    }
    j.Print();
}

bool QueryValue(HKEY key, const std::wstring& name, DWORD* type, std::vector<BYTE>* data) {
    DWORD size = 0;
    if (::RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS) return false;
    data->resize(size);
    if (::RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size) != ERROR_SUCCESS) return false;
    data->resize(size);
    return true;
}

void ListKey(HKEY key) {
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD len = 16384;
        if (::RegEnumValueW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        DWORD type = 0;
        std::vector<BYTE> data;
        if (QueryValue(key, std::wstring(name, len), &type, &data)) PrintValue(std::wstring(name, len), type, data);
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD len = 256;
        if (::RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        Json().Str("subkey", std::wstring(name, len)).Print();
    }
}

}  // namespace

int CmdRegRead(const Args& args) {
    const auto& p = args.Positional();
    HKEY root = nullptr;
    std::wstring sub;
    if (p.empty() || p.size() > 2 || !SplitRoot(p[0], &root, &sub))
        return Fail(kUsage, L"usage: regread HKLM|HKCU|HKCR|HKU\\path [VALUE]  (VALUE \"@\" is the default value)");
    fw::RegKey key;
    if (::RegOpenKeyExW(root, sub.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        return Fail(kFailed, L"no key " + p[0]);
    if (p.size() == 1) {
        ListKey(key.Get());
        return kOk;
    }
    std::wstring name = p[1] == L"@" ? L"" : p[1];
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!QueryValue(key.Get(), name, &type, &data)) return Fail(kFailed, L"no value " + p[1] + L" in " + p[0]);
    PrintValue(name, type, data);
    return kOk;
}

}  // namespace probe
