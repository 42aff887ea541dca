#include "tools/artwork/Qr.h"

#include <qrencode.h>

namespace artwork {

QrModules EncodeQr(const std::string& text) {
    QRcode* code = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code) {
        return {};
    }
    QrModules modules(static_cast<std::size_t>(code->width),
                      std::vector<bool>(static_cast<std::size_t>(code->width)));
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            modules[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] =
                (code->data[y * code->width + x] & 1) != 0;
        }
    }
    QRcode_free(code);
    return modules;
}

}  // namespace artwork
