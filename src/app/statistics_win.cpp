// Hand-over point: counting and reporting are not built yet. The request is marked taken and
// done at once so that the modes that wait for it end instead of waiting forever.
#include "app/statistics_win.h"

#include "app/quorvane3app_win.h"
#include "framework/trace_win.h"

namespace app {

unsigned IncrementCounter(const wchar_t*) { return 0; }

std::wstring StatisticsAddress(const wchar_t* pathAndQuery, unsigned) { return pathAndQuery; }

bool SendStatisticsRequest(const std::wstring&, CQuorvane3App& app) {
    fw::Trace(L"statistics-request");
    ::SetEvent(app.requestTaken.Get());
    ::SetEvent(app.requestDone.Get());
    return false;
}

}  // namespace app
