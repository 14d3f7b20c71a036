// Usage counters in the per-user Statistic.ini and the request thread that reports them.
#include "app/statistics_win.h"

#include <process.h>

#include <vector>

#include "app/counter.h"
#include "framework/paths_win.h"
#include "app/quorvane3app_win.h"
#include "framework/handle_win.h"
#include "framework/text_win.h"
#include "framework/trace_win.h"
#include "net/httpget_win.h"
#include "operator_config.h"

namespace app {

namespace {

// What the starter hands to the request thread; valid only until requestTaken is set.
struct RequestStart {
    const std::wstring* address;
    CQuorvane3App* app;
};

unsigned __stdcall RequestThread(void* param) {
    const auto* start = static_cast<const RequestStart*>(param);
    // Copy everything first: the starter may release its text once requestTaken is set.
    std::wstring address = start->address->substr(0, tamsolo::kStatAddressChars - 1);
    HANDLE done = start->app->requestDone.Get();
    ::SetEvent(start->app->requestTaken.Get());
    net::HttpStatisticsRequest(address);  // the outcome is not used
    fw::Trace(L"statistics-done");
    ::SetEvent(done);
    return 0;
}

}  // namespace

unsigned IncrementCounter(const wchar_t* key) {
    const std::wstring file = fw::StatisticsFile();  // empty: the counters are not stored
    if (file.empty()) return tamsolo::NextCounterValue(u"0");
    const wchar_t* section = reinterpret_cast<const wchar_t*>(tamsolo::kStatisticsSection);
    wchar_t stored[tamsolo::kCounterChars] = {};
    ::GetPrivateProfileStringW(section, key, L"0", stored, tamsolo::kCounterChars, file.c_str());
    const unsigned value = tamsolo::NextCounterValue(fw::U(stored));
    ::WritePrivateProfileStringW(section, key, fw::W(tamsolo::FormatUnsigned(value)).c_str(), file.c_str());
    return value;
}

std::wstring StatisticsAddress(const wchar_t* pathAndQuery, unsigned count) {
    return fw::W(tamsolo::StatisticsAddressFor(TAMSOLO_STAT_HOST, fw::U(pathAndQuery), count));
}

bool SendStatisticsRequest(const std::wstring& address, CQuorvane3App& app) {
    fw::Trace(L"statistics-request");
    RequestStart start{&address, &app};
    fw::Handle thread(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RequestThread, &start, 0, nullptr)));
    if (!thread) {
        // Nobody would ever set the events: let the waiting modes end instead of hanging.
        ::SetEvent(app.requestDone.Get());
        return false;
    }
    ::WaitForSingleObject(app.requestTaken.Get(), INFINITE);
    ::ResetEvent(app.requestTaken.Get());
    return true;
}

}  // namespace app
