// How a crash dump is written (its path: installrules.h). Portable.
#pragma once

namespace tamsolo {

// The three minidump types tried in turn, richest first.
constexpr unsigned kDumpTypes[3] = {0x1A25, 0x225, 0};

}  // namespace tamsolo
