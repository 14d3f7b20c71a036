// Compiled into each executable with that executable's definitions. The product waits as long
// as a slow mobile or filtered network may need; the test build gives up after a few seconds,
// so a scenario with a server that never answers runs in seconds, not minutes.
#include "net/httpget_win.h"

namespace net {

#ifdef TAMSOLO_TEST_BUILD
RequestTimeouts RequestTimeLimits() { return RequestTimeouts{4000, 4000, 4000}; }
#else
RequestTimeouts RequestTimeLimits() { return RequestTimeouts{kConnectTimeoutMs, kSendTimeoutMs, kReceiveTimeoutMs}; }
#endif

}  // namespace net
