// The families of the network units' functions (FTP and UDP; boards).
#pragma once

#include <span>

#include "unit_support/call_frame.h"

extern const std::span<const UnitFunctionEntry> kFtpFamily;
extern const std::span<const UnitFunctionEntry> kUdpFamily;
extern const std::span<const UnitFunctionEntry> kBoardFamily;
extern const std::span<const UnitFunctionEntry> kSerialFamily;
