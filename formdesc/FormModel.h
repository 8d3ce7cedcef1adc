#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The form as it lives in memory: three fixed-size plain records whose byte
// layout is binding (the designer compares and copies them as byte blocks and
// the clipboard carries them unchanged). Text fields hold Shift-JIS bytes,
// NUL-terminated.
namespace formdesc {

enum ItemKind : std::int32_t {
    kKindBase = 1,
    kKindField = 11,
    kKindLine = 21,
    kKindRect = 22,
    kKindBitmap = 24,
};

enum PaperSize : std::int32_t {
    kPaperA3 = 1,
    kPaperA4 = 3,
    kPaperB4 = 4,
    kPaperA5 = 5,
    kPaperB5 = 6,
};

enum PrintDirection : std::int32_t { kLandscape = 1, kPortrait = 2 };

enum LineType : std::int32_t {
    kLineSolid = 1,
    kLineDenseDots = 2,
    kLineDash = 3,
    kLineCoarseDots = 4,
    kLineDashDot = 5,
    kLineDashDotDot = 6,
};

enum LineWidth : std::int32_t {
    kWidthExtraFine = 1,
    kWidthFine = 2,
    kWidthStandard = 3,
    kWidthThick = 4,
    kWidthExtraThick = 5,
};

enum LineCourse : std::int32_t { kCourseH = 1, kCourseV = 2, kCourseLU = 3, kCourseRU = 4 };

enum MeshKind : std::int32_t { kMeshFrameOnly = 0, kMeshFillOnly = 1, kMeshFrameAndFill = 2 };

enum LoopDirection : std::int32_t { kLoopNone = 0, kLoopH = 1, kLoopV = 2 };

// A colour as stored: red in the low byte, then green, then blue.
using ColorRef = std::int32_t;
constexpr ColorRef rgb(int r, int g, int b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

struct FormInfo {
    char title[64];
    std::int32_t paperSize;
    std::int32_t direction;
    std::int32_t columns;
    std::int32_t rows;
    std::int32_t leftMargin;
    std::int32_t topMargin;
    std::int32_t tagMode;
    std::int32_t speed;
    char fontName[36];
    std::int32_t fontSize;
    ColorRef textColor;
    std::int32_t lineType;
    std::int32_t lineWidth;
    ColorRef lineColor;
    ColorRef meshColor;
};

struct FieldInfo {
    std::int32_t startCol;
    std::int32_t startRow;
    std::int32_t endCol;
    std::int32_t endRow;
    char tag[9];
    char fontName[35];
    std::int32_t fontSize;
    ColorRef textColor;
    std::int32_t wide;
    std::int32_t center;
    std::int32_t space;
    std::int32_t onLine;
    std::int32_t minus;
    std::int32_t mesh;
    ColorRef meshColor;
    char constText[132];
};

struct FigureInfo {
    std::int32_t kind;
    std::int32_t startCol;
    std::int32_t startRow;
    std::int32_t endCol;
    std::int32_t endRow;
    // Lines and rectangles use the attributes below. A bitmap keeps its file
    // path in the same 260 bytes instead (fileName()), as the record's byte
    // layout has always had it.
    std::int32_t lineType;
    std::int32_t lineWidth;
    ColorRef lineColor;
    std::int32_t loopDir;
    std::int32_t loopCount;
    std::int32_t loopPitch;
    std::int32_t course; // LINE: LineCourse; RECT: MeshKind
    ColorRef meshColor;
    char reserved[228];

    static constexpr std::size_t kFileNameOffset = 20;
    static constexpr std::size_t kFileNameBytes = 260;
    using FileName = char[kFileNameBytes];

    // The bitmap's path over the attribute bytes, read and written as bytes
    // of the record (which char access may do to any object).
    FileName& fileName() {
        return *reinterpret_cast<FileName*>(reinterpret_cast<char*>(this) + kFileNameOffset);
    }
    const FileName& fileName() const {
        return *reinterpret_cast<const FileName*>(reinterpret_cast<const char*>(this) + kFileNameOffset);
    }
    std::int32_t& meshKind() { return course; }
    std::int32_t meshKind() const { return course; }
};

static_assert(sizeof(FormInfo) == 156);
static_assert(offsetof(FormInfo, paperSize) == 64);
static_assert(offsetof(FormInfo, tagMode) == 88);
static_assert(offsetof(FormInfo, fontName) == 96);
static_assert(offsetof(FormInfo, fontSize) == 132);
static_assert(offsetof(FormInfo, meshColor) == 152);
static_assert(sizeof(FieldInfo) == 228);
static_assert(offsetof(FieldInfo, tag) == 16);
static_assert(offsetof(FieldInfo, fontName) == 25);
static_assert(offsetof(FieldInfo, fontSize) == 60);
static_assert(offsetof(FieldInfo, meshColor) == 92);
static_assert(offsetof(FieldInfo, constText) == 96);
static_assert(sizeof(FigureInfo) == 280);
static_assert(offsetof(FigureInfo, lineType) == 20);
static_assert(offsetof(FigureInfo, lineType) == FigureInfo::kFileNameOffset);
static_assert(offsetof(FigureInfo, reserved) + sizeof FigureInfo::reserved ==
              FigureInfo::kFileNameOffset + FigureInfo::kFileNameBytes);
static_assert(offsetof(FigureInfo, course) == 44);
static_assert(offsetof(FigureInfo, meshColor) == 48);
static_assert(offsetof(FigureInfo, reserved) == 52);

constexpr int kMaxItems = 1024;
constexpr int kMaxGrid = 255;

// Paper dimensions in tenths of a millimetre, long side and short side.
struct PaperDimensions {
    int longSide;
    int shortSide;
};

// The dimensions of a valid PaperSize code; nothing for any other code.
bool paperDimensions(int paperSize, PaperDimensions& out);

// Width across and height of the paper for a size and direction (landscape
// puts the long side across). Returns false for an invalid size.
bool pageSizeTenths(int paperSize, int direction, int& width, int& height);

// One form: its information, its fields and its figures in file order.
class FormModel {
  public:
    FormInfo form{};
    std::array<FieldInfo, kMaxItems> fields{};
    int fieldCount = 0;
    std::array<FigureInfo, kMaxItems> figures{};
    int figureCount = 0;

    void clear();
    void setNewFormDefaults();
    bool appendField(const FieldInfo& field);
    bool appendFigure(const FigureInfo& figure);
};

// Whole-record comparison, byte for byte.
template <typename Record> bool sameBytes(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

// Copies a NUL-terminated text into a fixed array, cut so that it fits and no
// double-byte character is split.
void copyText(char* dest, std::size_t capacity, const char* src);

} // namespace formdesc
