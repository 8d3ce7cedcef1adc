#pragma once

#include "formdesc/FormModel.h"
#include "formdesc/ShiftJis.h"
#include "tests/support/FormRecords.h"

#include <string>
#include <vector>

// Records whose texts hold the form file's own syntax: written as they are,
// each one reads back as something else (an extra item, a cut text, a key
// of another, a statement that vanishes). And records that look alike but
// read back whole. Shared by the reader, paste and save tests.
namespace testsupport {

struct HostileRecord {
    const char* what;
    bool field; // else a bitmap
    formdesc::FieldInfo fieldRecord;
    formdesc::FigureInfo figureRecord;
};

inline HostileRecord hostileField(const char* what, const char* tag, const char* font, const char* text) {
    HostileRecord row{what, true, fieldRecord(3, 4, 12, tag), {}};
    if (font)
        formdesc::sjis::storeWhole(row.fieldRecord.fontName, sizeof row.fieldRecord.fontName, font);
    formdesc::sjis::storeBytes(row.fieldRecord.constText, sizeof row.fieldRecord.constText, 128, text);
    return row;
}

inline HostileRecord hostileBitmap(const char* what, const char* file) {
    return {what, false, {}, bitmapRecord(20, 5, 30, 9, file)};
}

inline std::vector<HostileRecord> hostileRecords() {
    return {
        hostileField("a constant that closes its statement and opens a field", "", nullptr,
                     "X\";\nFIELD LOCATE=(0, 0)-(0, 0), CONST=\""),
        hostileField("a quote in a constant", "", nullptr, "A\"B"),
        hostileField("a comment mark in a constant", "", nullptr, "A//B"),
        hostileField("a semicolon in a constant", "", nullptr, "A;B"),
        hostileField("a line feed in a constant", "", nullptr, "A\nB"),
        hostileField("a constant that holds a rectangle", "", nullptr, "\";\nRECT LOCATE=(1, 1)-(9, 9);\n//"),
        hostileField("a tag that ends its statement", "A\";B", nullptr, ""),
        hostileField("a font name holding keys", "", "X\"-9, CENTER=ON, FONT=\"Y", ""),
        hostileField("a font name with a semicolon", "", "MS;GOTHIC", "LINE 1"),
        hostileBitmap("a bitmap name that adds a rectangle", "A.BMP\";\nRECT LOCATE=(1, 1)-(2, 2), X=\""),
        hostileBitmap("a bitmap name with a comment mark", "C://LOGO.BMP"),
    };
}

// Texts near the edge that read back whole (a lower-case text comes back
// upper-cased, as every text of the file does).
inline std::vector<HostileRecord> soundRecords() {
    return {
        hostileField("a comma and a slash", "AMOUNT", nullptr, "1,234/5"),
        hostileField("lower case", "name", nullptr, "abc"),
        hostileField("a keyword word", "LINE", nullptr, "FIELD LINE RECT"),
        hostileBitmap("a Windows path", "C:\\FORMS\\LOGO.BMP"),
    };
}

} // namespace testsupport
