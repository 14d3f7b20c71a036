#include "web/pagestate_win.h"

#include "operator_config.h"

namespace web {

namespace {

std::wstring Wide(const char16_t* text) { return std::wstring(reinterpret_cast<const wchar_t*>(text)); }

}  // namespace

std::wstring LoginAddress() { return Wide(TAMSOLO_LOGIN_HOST) + L"/controller/client.php?game_id=232"; }

std::wstring GameListAddress() { return Wide(TAMSOLO_CLIENT_HOST) + L"/webgame.htm"; }

std::wstring HallSite() { return Wide(TAMSOLO_HALL_SITE); }

std::wstring& GameAddress() {
    static std::wstring address = GameListAddress();
    return address;
}

std::wstring& CurrentAddress() {
    static std::wstring address;
    return address;
}

std::wstring& PageTitle() {
    static std::wstring title;
    return title;
}

}  // namespace web
