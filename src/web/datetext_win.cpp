#include "web/datetext_win.h"

#include <windows.h>

#include "framework/text_win.h"
#include "web/datetext.h"

namespace web {

std::wstring TodayText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return fw::W(tamsolo::DateText(now.wYear, now.wMonth, now.wDay));
}

}  // namespace web
