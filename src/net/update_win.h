// The self-update: the check against the operator's configuration, the download and the swap.
#pragma once

class CQuorvane3App;

namespace app {

// Non-zero when the operator publishes a different version. Not forced: only in the modes
// that may update and when the daily gate allows. Refreshes app.updateAddress when the
// configuration was read.
int CheckForUpdate(bool forced, CQuorvane3App& app);
// Downloads the new executable under the progress dialog and swaps it in; true when in place.
bool DownloadAndSwap(CQuorvane3App& app);
// Writes today as the last update day.
void RecordUpdateDay();
// Writes the weekdays on which the ordinary check does not run (once, at installation).
void WriteUpdateDaySpread();

}  // namespace app
