#pragma once

#include <QFont>
#include <QString>

#include <span>
#include <string_view>

// The forms name Windows faces; this machine has the IPA faces instead. One
// table maps the Windows names, in their full-width and ASCII spellings, to
// the IPA family that stands in for them; any other name goes to fontconfig
// as it is.
namespace platform {

class FontTable {
  public:
    struct Face {
        std::string_view windowsName; // UTF-8, as Windows spells it in Japanese
        std::string_view asciiName;   // the English name of the same face
        std::string_view family;      // the installed stand-in
        bool serif;                   // 明朝 faces
    };

    // The stand-ins, one row per Windows face.
    static std::span<const Face> faces();

    // Registers every spelling of the table with QFont::insertSubstitutions,
    // so that a QFont made from a Windows name (a font dialog, a property
    // sheet) lands on the same face. Needs a QGuiApplication; idempotent.
    static void installSubstitutions();

    // The face name of a form (Shift-JIS bytes) as Unicode text.
    static QString faceNameText(std::string_view sjisFaceName);

    // The family to ask for: the table's stand-in when the name is one of the
    // Windows faces in any spelling (full-width or ASCII letters, with or
    // without the blank, any case), otherwise the name itself. An empty name
    // gives the fixed-pitch Gothic face, as the Windows font mapper does for
    // a fixed-pitch Japanese font without a name.
    static QString familyFor(std::string_view sjisFaceName);

    // A QFont for the face name, with the serif hint for 明朝 faces; the size
    // is left to the caller.
    static QFont fontFor(std::string_view sjisFaceName);

    // The face used for characters that the resolved face does not have.
    static QString fallbackFamily();
};

} // namespace platform
