#include <windows.h>

#include "app/quorvane3app_win.h"

namespace {
CQuorvane3App theApp;
}

CQuorvane3App& TheApp() { return theApp; }

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return fw::AppMain(instance); }
