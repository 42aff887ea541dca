// Bitmaps come from resource files that may be damaged: any bytes must be
// refused or read inside their bounds, and what is read must write back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gfx/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto bitmap = platform::gfx::Bitmap::FromBmp(std::span(data, size));
    if (bitmap) {
        const auto again = platform::gfx::Bitmap::FromBmp(bitmap->ToBmp());
        if (!again || *again != *bitmap) {
            std::abort();
        }
    }
    return 0;
}
