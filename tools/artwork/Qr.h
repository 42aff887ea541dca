// A QR code of a text, through libqrencode: modules[y][x] true where dark.
#pragma once

#include <string>
#include <vector>

namespace artwork {

using QrModules = std::vector<std::vector<bool>>;

// Empty when the text does not fit a QR code.
QrModules EncodeQr(const std::string& text);

}  // namespace artwork
