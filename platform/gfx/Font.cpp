#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>
#include <utility>

#include "platform/gfx/FreeTypeFont.h"
#include "platform/text/TextConversion.h"

namespace platform::gfx {
namespace {

// Added to a private copy of the system's configuration, never to the
// system's own: the programs name Windows faces that no Linux machine has.
constexpr char kAliasConfig[] = R"(<?xml version="1.0"?>
<fontconfig>
  <alias binding="strong">
    <family>微软雅黑</family>
    <prefer><family>WenQuanYi Micro Hei</family></prefer>
  </alias>
  <alias binding="strong">
    <family>MS Shell Dlg</family>
    <prefer><family>DejaVu Sans</family></prefer>
  </alias>
  <alias binding="strong">
    <family>MS Shell Dlg 2</family>
    <prefer><family>DejaVu Sans</family></prefer>
  </alias>
</fontconfig>
)";

constexpr int kDefaultCharHeight = 12;
// Far past any screen; keeps the metrics' arithmetic in range.
constexpr int kMaxHeight = 2048;
constexpr char kDefaultFamily[] = "MS Shell Dlg";
// Distinct descriptions the programs use are few; past this the cache starts over.
constexpr std::size_t kMaxCachedFonts = 512;

using FontKey = std::tuple<int, int, bool, bool, std::u16string>;

FontKey KeyOf(const FontDescription& d) {
    return {d.height, d.weight, d.italic, d.underline, d.face};
}

// Everything fontconfig and FreeType hold for the process, behind one lock.
class FontSystem {
  public:
    static FontSystem& Instance() {
        static FontSystem system;
        return system;
    }

    FontSystem(const FontSystem&) = delete;
    FontSystem& operator=(const FontSystem&) = delete;

    std::mutex& Mutex() { return mutex_; }
    FcConfig* Config() { return config_; }

    // With the lock held. Faces stay open until the process ends.
    FT_Face OpenFace(const std::string& file, int index) {
        auto key = std::make_pair(file, index);
        auto it = faces_.find(key);
        if (it != faces_.end()) {
            return it->second;
        }
        FT_Face face = nullptr;
        if (library_ == nullptr || FT_New_Face(library_, file.c_str(), index, &face) != 0) {
            face = nullptr;
        } else if (!FT_IS_SCALABLE(face)) {
            FT_Done_Face(face);
            face = nullptr;
        } else {
            FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        }
        faces_.emplace(std::move(key), face);
        return face;
    }

    std::map<FontKey, std::shared_ptr<const Font>>& Fonts() { return fonts_; }

  private:
    FontSystem() {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
        }
        config_ = FcInitLoadConfigAndFonts();
        if (config_ != nullptr) {
            FcConfigParseAndLoadFromMemory(config_, reinterpret_cast<const FcChar8*>(kAliasConfig),
                                           FcTrue);
        }
    }

    ~FontSystem() {
        fonts_.clear();
        for (auto& [key, face] : faces_) {
            if (face != nullptr) {
                FT_Done_Face(face);
            }
        }
        if (library_ != nullptr) {
            FT_Done_FreeType(library_);
        }
        if (config_ != nullptr) {
            FcConfigDestroy(config_);
        }
    }

    std::mutex mutex_;
    FT_Library library_ = nullptr;
    FcConfig* config_ = nullptr;
    std::map<std::pair<std::string, int>, FT_Face> faces_;
    std::map<FontKey, std::shared_ptr<const Font>> fonts_;
};

// CJK faces draw the quotation marks, dashes and ellipsis of general
// punctuation a full em wide, where the faces the programs were drawn with
// keep them narrow: a narrower face that has them is preferred.
bool PrefersNarrow(char32_t code_point) {
    return code_point >= 0x2010 && code_point <= 0x205E;
}

bool IsFullWidth(FT_Face face, FT_UInt index) {
    FT_Fixed advance = 0;
    return FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) == 0 &&
           advance * 10 >= static_cast<FT_Fixed>(face->units_per_EM) * 9;
}

struct FaceChoice {
    FT_Face face = nullptr;
    bool embolden = false;
    bool oblique = false;
};

}  // namespace

struct FreeTypeFont::Source {
    FcFontSet* set = nullptr;  // every face that adds characters, best first
    FaceChoice primary;
    std::string primary_file;
    FT_F26Dot6 em_size = 0;  // 26.6 pixels
    bool want_bold = false;
    bool want_italic = false;

    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source() {
        if (set != nullptr) {
            FcFontSetDestroy(set);
        }
    }

    FaceChoice ChoiceFor(FcPattern* pattern, FT_Face face) const {
        FaceChoice choice{face};
        int weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(pattern, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(pattern, FC_SLANT, 0, &slant);
        choice.embolden = want_bold && weight < FC_WEIGHT_DEMIBOLD;
        choice.oblique = want_italic && slant == FC_SLANT_ROMAN;
        return choice;
    }

    // With the lock held: the first face, best first, that has the character.
    std::pair<FaceChoice, FT_UInt> Find(char32_t code_point) const {
        std::optional<std::pair<FaceChoice, FT_UInt>> first;
        auto settles = [&](FaceChoice choice, FT_UInt index) {
            if (!first) {
                first.emplace(choice, index);
            }
            return !PrefersNarrow(code_point) || !IsFullWidth(choice.face, index);
        };
        if (primary.face != nullptr) {
            if (FT_UInt index = FT_Get_Char_Index(primary.face, code_point);
                index != 0 && settles(primary, index)) {
                return {primary, index};
            }
        }
        for (int i = 0; set != nullptr && i < set->nfont; ++i) {
            FcPattern* pattern = set->fonts[i];
            FcCharSet* charset = nullptr;
            if (FcPatternGetCharSet(pattern, FC_CHARSET, 0, &charset) != FcResultMatch ||
                !FcCharSetHasChar(charset, code_point)) {
                continue;
            }
            FcChar8* file = nullptr;
            int face_index = 0;
            if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch) {
                continue;
            }
            FcPatternGetInteger(pattern, FC_INDEX, 0, &face_index);
            FT_Face face =
                FontSystem::Instance().OpenFace(reinterpret_cast<const char*>(file), face_index);
            if (face == nullptr || face == primary.face) {
                continue;
            }
            if (FT_UInt index = FT_Get_Char_Index(face, code_point); index != 0) {
                FaceChoice choice = ChoiceFor(pattern, face);
                if (settles(choice, index)) {
                    return {choice, index};
                }
            }
        }
        return first.value_or(std::pair{primary, FT_UInt{0}});  // else the "missing" box
    }
};

namespace {

std::unique_ptr<FreeTypeFont::Source> MatchLocked(const FontDescription& description) {
    auto source = std::make_unique<FreeTypeFont::Source>();
    source->want_bold = description.weight >= 600;
    source->want_italic = description.italic;
    FcConfig* config = FontSystem::Instance().Config();
    if (config == nullptr) {
        return source;
    }

    std::string family =
        description.face.empty() ? kDefaultFamily : platform::Utf16ToUtf8(description.face);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, source->want_bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, source->want_italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    source->set = FcFontSort(config, pattern, FcTrue, nullptr, &result);
    FcPatternDestroy(pattern);

    for (int i = 0; source->set != nullptr && i < source->set->nfont; ++i) {
        FcPattern* candidate = source->set->fonts[i];
        FcChar8* file = nullptr;
        int face_index = 0;
        if (FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch) {
            continue;
        }
        FcPatternGetInteger(candidate, FC_INDEX, 0, &face_index);
        std::string path = reinterpret_cast<const char*>(file);
        FT_Face face = FontSystem::Instance().OpenFace(path, face_index);
        if (face != nullptr) {
            source->primary = source->ChoiceFor(candidate, face);
            source->primary_file = std::move(path);
            break;
        }
    }
    return source;
}

}  // namespace

namespace {

// The glyph's outline, sized, hinted and synthesised, in its face's slot
// until the next load; nullptr when there is none.
FT_GlyphSlot LoadLocked(const FreeTypeFont::Source& source, char32_t code_point) {
    auto [choice, index] = source.Find(code_point);
    FT_Face face = choice.face;
    if (face == nullptr || FT_Set_Char_Size(face, 0, source.em_size, 72, 72) != 0 ||
        FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) != 0) {
        return nullptr;
    }
    FT_GlyphSlot slot = face->glyph;
    if (choice.embolden) {
        FT_GlyphSlot_Embolden(slot);
    }
    if (choice.oblique) {
        FT_GlyphSlot_Oblique(slot);
    }
    return slot;
}

int Advance(FT_GlyphSlot slot) {
    return static_cast<int>((slot->advance.x + 32) >> 6);
}

}  // namespace

FreeTypeFont::FreeTypeFont(FontDescription description, std::unique_ptr<Source> source)
    : Font(std::move(description)), source_(std::move(source)) {
    // Heights as the original platform reads them: negative is the em size,
    // positive the cell (ascent + descent).
    int height = Description().height == 0 ? -kDefaultCharHeight : Description().height;
    height = std::clamp(height, -kMaxHeight, kMaxHeight);
    double ascent_units = 0.8;
    double descent_units = 0.2;
    double units_per_em = 1.0;
    double underline_position = -0.1;
    double underline_thickness = 0.05;
    if (FT_Face face = source_->primary.face; face != nullptr) {
        units_per_em = face->units_per_EM;
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            ascent_units = os2->usWinAscent;
            descent_units = os2->usWinDescent;
        } else {
            ascent_units = face->ascender;
            descent_units = -face->descender;
        }
        if (ascent_units + descent_units <= 0) {
            ascent_units = 0.8 * units_per_em;
            descent_units = 0.2 * units_per_em;
        }
        underline_position = face->underline_position;
        underline_thickness = face->underline_thickness;
    }
    double em_pixels = 0;
    if (height < 0) {
        em_pixels = -static_cast<double>(height);
        ascent_ = static_cast<int>(std::lround(ascent_units * em_pixels / units_per_em));
        descent_ = static_cast<int>(std::lround(descent_units * em_pixels / units_per_em));
    } else {
        double cell_units = ascent_units + descent_units;
        em_pixels = height * units_per_em / cell_units;
        ascent_ = static_cast<int>(std::lround(ascent_units * height / cell_units));
        descent_ = height - ascent_;
    }
    source_->em_size = static_cast<FT_F26Dot6>(std::lround(em_pixels * 64));

    double scale = em_pixels / units_per_em;
    underline_thickness_ = std::max(1, static_cast<int>(std::lround(underline_thickness * scale)));
    underline_offset_ =
        static_cast<int>(std::lround(-underline_position * scale - underline_thickness_ / 2.0));
    underline_offset_ =
        std::clamp(underline_offset_, 1, std::max(1, descent_ - underline_thickness_));

    // Dialog units take the mean width of the Latin letters, rounded.
    int letters_width = 0;
    for (char32_t c = U'A'; c <= U'Z'; ++c) {
        for (char32_t letter : {c, static_cast<char32_t>(c - U'A' + U'a')}) {
            if (FT_GlyphSlot slot = LoadLocked(*source_, letter); slot != nullptr) {
                letters_width += Advance(slot);
            }
        }
    }
    average_char_width_ = (letters_width / 26 + 1) / 2;
}

FreeTypeFont::~FreeTypeFont() = default;

std::string FreeTypeFont::MatchedFile() const {
    return source_->primary_file;
}

void FreeTypeFont::GetGlyphs(std::span<const char32_t> code_points,
                             std::vector<const Glyph*>& out) const {
    out.clear();
    out.reserve(code_points.size());
    std::lock_guard lock(FontSystem::Instance().Mutex());
    for (char32_t c : code_points) {
        out.push_back(&GlyphLocked(c));
    }
}

const Glyph& FreeTypeFont::GlyphLocked(char32_t code_point) const {
    auto [it, inserted] = glyphs_.try_emplace(code_point);
    Glyph& glyph = it->second;
    if (!inserted || code_point < 0x20) {
        return glyph;  // control characters take no room and draw nothing
    }
    FT_GlyphSlot slot = LoadLocked(*source_, code_point);
    if (slot == nullptr) {
        return glyph;
    }
    glyph.advance = Advance(slot);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
        return glyph;
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        std::uint8_t* out = glyph.coverage.data() + static_cast<std::size_t>(y) * glyph.width;
        for (int x = 0; x < glyph.width; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                out[x] = (row[x / 8] & (0x80 >> (x % 8))) != 0 ? 255 : 0;
            } else {
                out[x] = row[x];
            }
        }
    }
    return glyph;
}

std::shared_ptr<const Font> Font::Create(const FontDescription& description) {
    FontSystem& system = FontSystem::Instance();
    std::lock_guard lock(system.Mutex());
    auto& fonts = system.Fonts();
    FontKey key = KeyOf(description);
    if (auto it = fonts.find(key); it != fonts.end()) {
        return it->second;
    }
    if (fonts.size() >= kMaxCachedFonts) {
        fonts.clear();
    }
    auto font = std::make_shared<const FreeTypeFont>(description, MatchLocked(description));
    fonts.emplace(std::move(key), font);
    return font;
}

std::shared_ptr<const Font> Font::Default() {
    // 8 points at 96 dots per inch.
    return Create(FontDescription{.height = -11, .face = u"MS Shell Dlg"});
}

}  // namespace platform::gfx
