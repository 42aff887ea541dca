// A byte count (a download speed) as short text: "1023", "1.5K", "2.0M",
// "1.0G", "3.2T". Pure; any thread.
#pragma once

#include <cstdint>
#include <string>

std::string FormatByteSize(std::int64_t bytes);
