#include "output/LineRasterizer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ft.h>
#include <hb.h>
#include <unicode/ubidi.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#include "text/Text.h"

namespace kps {
namespace {

constexpr int kCellDots = 12;      // a character cell of font A
constexpr int kEmDots = 24;        // the font's em at single size
constexpr int kLineDots = 30;      // a line with its spacing
constexpr int kBaselineDots = 23;  // from the top of the line

struct Candidate {
    std::string file;
    int index = 0;
    FcCharSet* charset = nullptr;  // owned
};

struct OpenFace {
    FT_Face face = nullptr;
    hb_font_t* font = nullptr;
    int emX = 0;
    int emY = 0;
};

struct GlyphBitmap {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    int pitch = 0;
    std::vector<unsigned char> bits;
};

// One glyph placed on the line.
struct Placed {
    int font = 0;
    unsigned glyph = 0;
    int x = 0;  // pen position plus offset, dots from the line's start
    int y = 0;  // offset above the baseline
    int width = 1;
    int height = 1;
};

FcCharSet* CharsetOf(FcPattern* pattern) {
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(pattern, FC_CHARSET, 0, &charset) != FcResultMatch) {
        return nullptr;
    }
    return FcCharSetCopy(charset);
}

std::string FileOf(FcPattern* pattern, int& index) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch) {
        return {};
    }
    if (FcPatternGetInteger(pattern, FC_INDEX, 0, &index) != FcResultMatch) {
        index = 0;
    }
    return reinterpret_cast<const char*>(file);
}

}  // namespace

struct LineRasterizer::Fonts {
    FcConfig* config = nullptr;
    FT_Library library = nullptr;
    std::vector<Candidate> candidates;  // in order of preference
    std::map<int, OpenFace> faces;
    std::map<char32_t, int> choice;  // -1: no font has it
    std::map<std::tuple<int, unsigned, int, int>, GlyphBitmap> glyphs;
    hb_buffer_t* buffer = nullptr;
    int usable = -1;  // the first font FreeType opens: for what no font has

    ~Fonts() {
        for (auto& [index, face] : faces) {
            hb_font_destroy(face.font);
            FT_Done_Face(face.face);
        }
        for (Candidate& candidate : candidates) {
            FcCharSetDestroy(candidate.charset);
        }
        hb_buffer_destroy(buffer);
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
        if (config != nullptr) {
            FcConfigDestroy(config);
        }
    }

    void Add(FcPattern* pattern) {
        Candidate candidate;
        candidate.file = FileOf(pattern, candidate.index);
        candidate.charset = CharsetOf(pattern);
        if (candidate.file.empty() || candidate.charset == nullptr) {
            FcCharSetDestroy(candidate.charset);
            return;
        }
        candidates.push_back(std::move(candidate));
    }

    void AddChoice(const std::string& fontChoice) {
        if (std::filesystem::is_regular_file(fontChoice)) {
            int count = 0;
            FcPattern* pattern = FcFreeTypeQuery(
                reinterpret_cast<const FcChar8*>(fontChoice.c_str()), 0, nullptr, &count);
            if (pattern != nullptr) {
                Add(pattern);
                FcPatternDestroy(pattern);
            }
            return;
        }
        FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(fontChoice.c_str()));
        if (wanted == nullptr) {
            return;
        }
        FcConfigSubstitute(config, wanted, FcMatchPattern);
        FcDefaultSubstitute(wanted);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, wanted, &result);
        if (match != nullptr) {
            Add(match);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(wanted);
    }

    void AddFallbacks() {
        FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
        FcConfigSubstitute(config, wanted, FcMatchPattern);
        FcDefaultSubstitute(wanted);
        FcResult result = FcResultNoMatch;
        FcFontSet* sorted = FcFontSort(config, wanted, FcTrue, nullptr, &result);
        if (sorted != nullptr) {
            for (int i = 0; i < sorted->nfont; ++i) {
                FcPattern* font = FcFontRenderPrepare(config, wanted, sorted->fonts[i]);
                if (font != nullptr) {
                    Add(font);
                    FcPatternDestroy(font);
                }
            }
            FcFontSetDestroy(sorted);
        }
        FcPatternDestroy(wanted);
    }

    int FontFor(char32_t codePoint) {
        const auto known = choice.find(codePoint);
        if (known != choice.end()) {
            return known->second;
        }
        int found = -1;
        for (std::size_t i = 0; i < candidates.size() && found < 0; ++i) {
            if (FcCharSetHasChar(candidates[i].charset, codePoint) && Open(static_cast<int>(i))) {
                found = static_cast<int>(i);
            }
        }
        choice.emplace(codePoint, found);
        return found;
    }

    OpenFace* Open(int index) {
        const auto open = faces.find(index);
        if (open != faces.end()) {
            return &open->second;
        }
        const Candidate& candidate = candidates[static_cast<std::size_t>(index)];
        OpenFace face;
        if (FT_New_Face(library, candidate.file.c_str(), candidate.index, &face.face) != 0) {
            return nullptr;
        }
        face.font = hb_ft_font_create_referenced(face.face);
        return &faces.emplace(index, face).first->second;
    }

    OpenFace& Sized(int index, int width, int height) {
        OpenFace& face = *Open(index);
        const int emX = kEmDots * width;
        const int emY = kEmDots * height;
        if (face.emX != emX || face.emY != emY) {
            FT_Set_Pixel_Sizes(face.face, static_cast<FT_UInt>(emX), static_cast<FT_UInt>(emY));
            hb_ft_font_changed(face.font);
            face.emX = emX;
            face.emY = emY;
        }
        return face;
    }

    const GlyphBitmap& Bitmap(const Placed& placed) {
        const auto key = std::make_tuple(placed.font, placed.glyph, placed.width, placed.height);
        const auto cached = glyphs.find(key);
        if (cached != glyphs.end()) {
            return cached->second;
        }
        GlyphBitmap bitmap;
        OpenFace& face = Sized(placed.font, placed.width, placed.height);
        if (FT_Load_Glyph(face.face, placed.glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0) {
            const FT_GlyphSlot slot = face.face->glyph;
            bitmap.left = slot->bitmap_left;
            bitmap.top = slot->bitmap_top;
            bitmap.width = static_cast<int>(slot->bitmap.width);
            bitmap.rows = static_cast<int>(slot->bitmap.rows);
            bitmap.pitch = slot->bitmap.pitch;
            const bool mono = slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
            for (int y = 0; y < bitmap.rows; ++y) {
                const unsigned char* row = slot->bitmap.buffer + y * bitmap.pitch;
                for (int x = 0; x < bitmap.width; ++x) {
                    const bool ink = mono ? (row[x / 8] & (0x80 >> (x % 8))) != 0 : row[x] >= 128;
                    bitmap.bits.push_back(ink ? 1 : 0);
                }
            }
        }
        return glyphs.emplace(key, std::move(bitmap)).first->second;
    }
};

LineRasterizer::LineRasterizer(const std::string& fontChoice) : fonts_(std::make_unique<Fonts>()) {
    fonts_->config = FcInitLoadConfigAndFonts();
    if (fonts_->config == nullptr || FT_Init_FreeType(&fonts_->library) != 0) {
        return;
    }
    fonts_->buffer = hb_buffer_create();
    if (!fontChoice.empty()) {
        fonts_->AddChoice(fontChoice);
    }
    fonts_->AddFallbacks();
    for (std::size_t i = 0; i < fonts_->candidates.size() && fonts_->usable < 0; ++i) {
        if (fonts_->Open(static_cast<int>(i)) != nullptr) {
            fonts_->usable = static_cast<int>(i);
        }
    }
}

LineRasterizer::~LineRasterizer() = default;

bool LineRasterizer::HasFont() const {
    return fonts_->usable >= 0;
}

RasterImage LineRasterizer::Draw(const std::vector<PaperRun>& runs, PaperAlign align,
                                 int paperDots) {
    RasterImage image;
    if (!HasFont()) {
        return image;
    }
    // The line in UTF-16 for ICU and HarfBuzz, and for each unit its run and font.
    std::u16string units;
    std::vector<int> runOf;
    std::vector<int> fontOf;
    int tallest = 1;
    int lastFont = fonts_->usable;
    const int paper = std::max(paperDots / 8, 1) * 8;
    // What lies far past the paper's edge is never drawn, so it is not
    // shaped either: a line of any length costs a few paper widths. Four
    // cells for every one the paper holds leaves room for glyphs narrower
    // than a cell.
    const long mostCells = 4L * paper / kCellDots;
    long cells = 0;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        tallest = std::max(tallest, runs[r].height);
        ForEachChar(runs[r].text, [&](char32_t codePoint, std::string_view) {
            const long columns = ColumnsOf(codePoint) * runs[r].width;
            if (cells + columns > mostCells) {
                cells = mostCells + 1;  // and nothing after it, not even a narrower one
                return;
            }
            cells += columns;
            int font = lastFont;
            if (ColumnsOf(codePoint) > 0 && codePoint != U' ') {
                font = fonts_->FontFor(codePoint);
                if (font < 0) {
                    codePoint = U'?';  // no font has it
                    font = fonts_->FontFor(codePoint);
                }
                font = font < 0 ? fonts_->usable : font;
            }
            lastFont = font;
            const int count = codePoint > 0xFFFF ? 2 : 1;
            if (count == 2) {
                units += static_cast<char16_t>(0xD7C0 + (codePoint >> 10));
                units += static_cast<char16_t>(0xDC00 | (codePoint & 0x3FF));
            } else {
                units += static_cast<char16_t>(codePoint);
            }
            runOf.insert(runOf.end(), static_cast<std::size_t>(count), static_cast<int>(r));
            fontOf.insert(fontOf.end(), static_cast<std::size_t>(count), font);
        });
    }
    if (units.empty()) {
        return image;
    }

    // Glyphs in visual order: the bidirectional runs, each cut where the size
    // or the font changes, shaped by HarfBuzz.
    std::vector<Placed> placed;
    long pen = 0;  // 26.6
    UErrorCode status = U_ZERO_ERROR;
    UBiDi* bidi = ubidi_open();
    ubidi_setPara(bidi, reinterpret_cast<const UChar*>(units.data()),
                  static_cast<int32_t>(units.size()), UBIDI_LTR, nullptr, &status);
    const int32_t visualRuns = U_SUCCESS(status) ? ubidi_countRuns(bidi, &status) : 0;
    for (int32_t v = 0; v < visualRuns; ++v) {
        int32_t start = 0;
        int32_t length = 0;
        const bool rtl = ubidi_getVisualRun(bidi, v, &start, &length) == UBIDI_RTL;
        std::vector<std::pair<int32_t, int32_t>> segments;
        for (int32_t i = start; i < start + length;) {
            int32_t end = i + 1;
            while (end < start + length &&
                   runOf[static_cast<std::size_t>(end)] == runOf[static_cast<std::size_t>(i)] &&
                   fontOf[static_cast<std::size_t>(end)] == fontOf[static_cast<std::size_t>(i)]) {
                ++end;
            }
            segments.emplace_back(i, end - i);
            i = end;
        }
        if (rtl) {
            std::reverse(segments.begin(), segments.end());
        }
        for (const auto& [segmentStart, segmentLength] : segments) {
            const PaperRun& run =
                runs[static_cast<std::size_t>(runOf[static_cast<std::size_t>(segmentStart)])];
            const int font = fontOf[static_cast<std::size_t>(segmentStart)];
            OpenFace& face = fonts_->Sized(font, run.width, run.height);
            hb_buffer_t* buffer = fonts_->buffer;
            hb_buffer_clear_contents(buffer);
            hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(units.data()),
                                static_cast<int>(units.size()), static_cast<unsigned>(segmentStart),
                                segmentLength);
            hb_buffer_set_direction(buffer, rtl ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
            hb_buffer_guess_segment_properties(buffer);
            hb_shape(face.font, buffer, nullptr, 0);
            unsigned count = 0;
            const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
            const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
            for (unsigned g = 0; g < count; ++g) {
                const bool space = units[infos[g].cluster] == u' ';
                if (!space) {
                    placed.push_back({font, infos[g].codepoint,
                                      static_cast<int>((pen + positions[g].x_offset) >> 6),
                                      static_cast<int>(positions[g].y_offset >> 6), run.width,
                                      run.height});
                }
                pen += space ? kCellDots * run.width * 64L : positions[g].x_advance;
            }
        }
    }
    ubidi_close(bidi);

    // Drawn on a strip wide enough for any overhang, then placed on the paper.
    const int margin = kEmDots * 4;
    const int stripWidth = static_cast<int>(pen >> 6) + 2 * margin;
    const int height = kLineDots * tallest;
    const int baseline = kBaselineDots * tallest;
    std::vector<unsigned char> strip(static_cast<std::size_t>(stripWidth * height), 0);
    int inkLeft = stripWidth;
    int inkRight = -1;
    for (const Placed& glyph : placed) {
        const GlyphBitmap& bitmap = fonts_->Bitmap(glyph);
        for (int y = 0; y < bitmap.rows; ++y) {
            const int row = baseline - glyph.y - bitmap.top + y;
            for (int x = 0; x < bitmap.width; ++x) {
                const int column = margin + glyph.x + bitmap.left + x;
                if (bitmap.bits[static_cast<std::size_t>(y * bitmap.width + x)] == 0 || row < 0 ||
                    row >= height || column < 0 || column >= stripWidth) {
                    continue;
                }
                strip[static_cast<std::size_t>(row * stripWidth + column)] = 1;
                inkLeft = std::min(inkLeft, column);
                inkRight = std::max(inkRight, column);
            }
        }
    }
    if (inkRight < 0) {
        return image;
    }
    // A left line keeps its place from the paper's edge. A centred or right
    // line is only its ink, in whole bytes, which the printer places by its
    // justification (ESC a holds for raster images): blank columns cost
    // bytes on the wire and take no paper.
    const int inkWidth = inkRight - inkLeft + 1;
    const int boxed = std::min(paper, (inkWidth + 7) / 8 * 8);
    int shift = -margin;  // the line's start at the paper's left edge
    if (align == PaperAlign::Centre) {
        shift = std::max(0, (boxed - inkWidth) / 2) - inkLeft;
    } else if (align == PaperAlign::Right) {
        shift = std::max(0, boxed - inkWidth) - inkLeft;
    }
    const int used = align == PaperAlign::Left ? std::min(paper, inkRight + shift + 1) : boxed;
    if (used <= 0) {
        return image;
    }
    image.widthBytes = (used + 7) / 8;
    image.height = height;
    image.dots.assign(static_cast<std::size_t>(image.widthBytes * height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = std::max(inkLeft, -shift); x <= inkRight && x + shift < used; ++x) {
            if (strip[static_cast<std::size_t>(y * stripWidth + x)] != 0) {
                image.Set(x + shift, y);
            }
        }
    }
    return image;
}

}  // namespace kps
