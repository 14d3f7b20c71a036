// JSON lines in UTF-8 and messages on stderr.
#include <cstdio>

#include "probe.h"

namespace probe {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    // Lone surrogates (a window title may hold anything) become U+FFFD rather than failing.
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr,
                              nullptr);
    return out;
}

std::string Quote(const std::wstring& text) {
    std::string out = "\"";
    for (unsigned char c : Utf8(text)) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::wstring Hex(const BYTE* data, size_t size) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

void Json::Key(const char* key) {
    if (!body_.empty()) body_ += ",";
    body_ += "\"";
    body_ += key;
    body_ += "\":";
}

Json& Json::Str(const char* key, const std::wstring& value) {
    Key(key);
    body_ += Quote(value);
    return *this;
}

Json& Json::Num(const char* key, long long value) {
    Key(key);
    body_ += std::to_string(value);
    return *this;
}

Json& Json::Bool(const char* key, bool value) {
    Key(key);
    body_ += value ? "true" : "false";
    return *this;
}

Json& Json::Raw(const char* key, const std::string& json) {
    Key(key);
    body_ += json;
    return *this;
}

void Json::Print() const {
    std::string line = Text() + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

int Fail(int code, const std::wstring& message) {
    std::string line = "winprobe: " + Utf8(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return code;
}

}  // namespace probe
