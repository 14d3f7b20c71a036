// Today's date as the notices compare it.
#pragma once

#include <string>

namespace web {

// The local date as "yyyy-mm-dd".
std::wstring TodayText();

}  // namespace web
