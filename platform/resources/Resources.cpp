#include "platform/resources/Resources.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<const ResourceModule*> g_module{nullptr};

template <typename Entries>
auto FindEntry(const Entries& entries, int id) -> decltype(&entries[0]) {
    for (const auto& entry : entries) {
        if (entry.first == id) {
            return &entry;
        }
    }
    return nullptr;
}

const ResourceModule::Blob* FindBlob(std::span<const ResourceModule::Blob> blobs, int id) {
    for (const auto& blob : blobs) {
        if (blob.id == id) {
            return &blob;
        }
    }
    return nullptr;
}

// Every pixel that is not exactly white, one span per run of a row.
gfx::Region OpaqueShape(const gfx::Bitmap& image) {
    gfx::Region::Builder builder;
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* row = image.Row(y);
        int x = 0;
        while (x < image.Width()) {
            auto white = [&](int at) {
                const std::uint8_t* p = row + static_cast<std::size_t>(at) * 3;
                return p[0] == 255 && p[1] == 255 && p[2] == 255;
            };
            while (x < image.Width() && white(x)) {
                ++x;
            }
            int start = x;
            while (x < image.Width() && !white(x)) {
                ++x;
            }
            if (x > start) {
                builder.AddSpan(y, start, x);
            }
        }
    }
    return builder.Finish();
}

}  // namespace

void InstallResourceModule(const ResourceModule* module) {
    g_module.store(module, std::memory_order_release);
}

const ResourceModule* InstalledResourceModule() {
    return g_module.load(std::memory_order_acquire);
}

std::optional<gfx::Bitmap> LoadBitmapResource(int id) {
    const ResourceModule* module = InstalledResourceModule();
    if (!module) {
        return std::nullopt;
    }
    const ResourceModule::Blob* blob = FindBlob(module->bitmaps, id);
    if (!blob) {
        return std::nullopt;
    }
    return gfx::Bitmap::FromBmp(blob->bytes);
}

std::optional<gfx::Icon> LoadIconResource(int id) {
    const ResourceModule* module = InstalledResourceModule();
    if (!module) {
        return std::nullopt;
    }
    const ResourceModule::Blob* blob = FindBlob(module->icons, id);
    if (!blob) {
        return std::nullopt;
    }
    std::optional<gfx::Bitmap> image = gfx::Bitmap::FromBmp(blob->bytes);
    if (!image) {
        return std::nullopt;
    }
    gfx::Icon icon;
    icon.shape = OpaqueShape(*image);
    icon.image = std::move(*image);
    return icon;
}

std::u16string LoadStringResource(int id) {
    const ResourceModule* module = InstalledResourceModule();
    if (!module) {
        return {};
    }
    const auto* entry = FindEntry(module->strings, id);
    return entry ? std::u16string(entry->second) : std::u16string();
}

const MenuTemplate* FindMenuResource(int id) {
    const ResourceModule* module = InstalledResourceModule();
    if (!module) {
        return nullptr;
    }
    const auto* entry = FindEntry(module->menus, id);
    return entry ? entry->second : nullptr;
}

const DialogTemplate* FindDialogResource(int id) {
    const ResourceModule* module = InstalledResourceModule();
    if (!module) {
        return nullptr;
    }
    const auto* entry = FindEntry(module->dialogs, id);
    return entry ? entry->second : nullptr;
}

}  // namespace platform
