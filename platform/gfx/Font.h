// Fonts, found through fontconfig and drawn with FreeType. Described as the
// original platform's logical font: a height in logical units (negative:
// character height; positive: cell height, as there), weight 100-900, italic,
// underline, face name. A face that is not installed resolves through
// fontconfig's matching; the layer loads an alias of its own that maps
// "微软雅黑" to WenQuanYi Micro Hei, so Chinese texts render on any machine.
//
// A Font is immutable once made and may be used from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform::gfx {

struct FontDescription {
    int height = 0;  // 0: the default size (12 pixels)
    int weight = 400;
    bool italic = false;
    bool underline = false;
    std::u16string face{};  // empty: the default face
    friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

class Font {
  public:
    // Never fails: the worst match is the default face.
    static std::shared_ptr<const Font> Create(const FontDescription& description);
    // The system's default user-interface font ("MS Shell Dlg" 8 pt, as dialogs
    // use when their template names none).
    static std::shared_ptr<const Font> Default();

    virtual ~Font() = default;
    const FontDescription& Description() const { return description_; }
    // The file fontconfig chose, for tests and logs.
    virtual std::string MatchedFile() const = 0;
    // Metrics in pixels.
    virtual int Ascent() const = 0;
    virtual int Descent() const = 0;
    int LineHeight() const { return Ascent() + Descent(); }
    // Average character width, as dialog units use it.
    virtual int AverageCharWidth() const = 0;

  protected:
    explicit Font(FontDescription description) : description_(std::move(description)) {}

  private:
    FontDescription description_;
};

}  // namespace platform::gfx
