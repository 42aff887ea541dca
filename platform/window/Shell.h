// Opening a web address in the user's browser: xdg-open started through the
// process layer with the address as its one argument (no shell in between),
// not waited for. The address is outside input: an empty one, one beginning
// with '-' (it would read as an option) and one holding control characters
// are refused.
//
// Tests replace the opener with one that records the address.
//
// Thread rules: any thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// True when the opener was started (not whether a browser showed the page).
bool OpenWebAddress(std::u16string_view address);

using WebAddressOpener = std::function<bool(std::u16string_view address)>;
// Replaces the opener for the rest of the process; an empty function restores
// xdg-open. Returns the previous one (empty for xdg-open).
WebAddressOpener SetWebAddressOpenerForTesting(WebAddressOpener opener);

}  // namespace platform
