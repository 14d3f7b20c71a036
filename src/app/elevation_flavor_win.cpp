// Compiled into each executable with that executable's definitions: only the test build can
// pretend to run as a standard user (Wine grants every process everything).
#include "app/elevation_win.h"

#include <cwchar>

namespace app {

#ifdef TAMSOLO_TEST_BUILD
PretendedUser Pretended() {
    wchar_t value[32] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"TAMSOLO_TEST_ELEVATION", value, 32);
    if (n == 0 || n >= 32) return PretendedUser::kNone;
    if (std::wcscmp(value, L"standard-user") == 0) return PretendedUser::kStandardUser;
    if (std::wcscmp(value, L"never-enough") == 0) return PretendedUser::kNeverEnough;
    if (std::wcscmp(value, L"declines") == 0) return PretendedUser::kDeclines;
    return PretendedUser::kNone;
}
#else
PretendedUser Pretended() { return PretendedUser::kNone; }
#endif

}  // namespace app
