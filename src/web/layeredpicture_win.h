// A PNG resource shown as the whole look of a layered window: every pixel with its own alpha.
#pragma once

#include <windows.h>

namespace web {

// Decodes the "PNG" resource id of module and puts it on wnd with UpdateLayeredWindow at the
// window's current top-left corner, the window taking the picture's size. Sets WS_EX_LAYERED
// when missing. False (window unchanged) when the picture cannot be read or shown.
bool ShowLayeredPicture(HWND wnd, HMODULE module, UINT id, int* width, int* height);

}  // namespace web
