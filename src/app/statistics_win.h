// Usage counters in Statistic.ini and the statistics requests that report them.
#pragma once

#include <string>

class CQuorvane3App;

namespace app {

// Paths and queries of the statistics requests, after the statistics host.
constexpr const wchar_t* kInstallRequest = L"/install.htm?tag=tamsolo&ver=3.0.0.1";
constexpr const wchar_t* kStartRequest = L"/active.htm?tag=tamsolo&ver=3.0.0.1";
constexpr const wchar_t* kPartnerStartRequest = L"/active.htm?tag=webcorvel&ver=3.0.0.1";
constexpr const wchar_t* kUninstallRequest = L"/uninstall.htm?tag=tamsolo&ver=3.0.0.1";

// Adds 1 to a counter of section "Tamsolo" in the per-user Statistic.ini; returns the new value.
unsigned IncrementCounter(const wchar_t* key);
// The statistics host + path and query + "&count=" + count.
std::wstring StatisticsAddress(const wchar_t* pathAndQuery, unsigned count);
// Starts the request thread; returns once the thread has taken its copy of the address.
bool SendStatisticsRequest(const std::wstring& address, CQuorvane3App& app);

}  // namespace app
