#pragma once

#include <string>

#include "platform/wake_on_lan.h"

namespace vt::adapters {

using MacAddress = platform::MacAddress;

enum class MacCase { Upper, Lower };

// Six pairs of hexadecimal digits joined by "-", as Windows prints them: upper case in
// nbtstat, lower case in arp.
std::string formatMac(const MacAddress& mac, MacCase letters);

bool isZero(const MacAddress& mac);

}  // namespace vt::adapters
