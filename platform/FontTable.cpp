#include "platform/FontTable.h"

#include <QStringDecoder>
#include <QStringList>

#include <array>

namespace platform {

namespace {

constexpr std::array kFaces{
    FontTable::Face{"ＭＳ 明朝", "MS Mincho", "IPAMincho", true},
    FontTable::Face{"ＭＳ ゴシック", "MS Gothic", "IPAGothic", false},
    FontTable::Face{"ＭＳ Ｐ明朝", "MS PMincho", "IPAPMincho", true},
    FontTable::Face{"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic", false},
    FontTable::Face{"ＭＳ ＵＩ ゴシック", "MS UI Gothic", "IPAPGothic", false},
};

constexpr std::string_view kDefaultFamily = "IPAGothic";

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Folds the spellings of one face onto one key: NFKC turns full-width letters
// and the ideographic blank into ASCII, then blanks go and case is folded.
QString matchKey(const QString& name) {
    QString key = name.normalized(QString::NormalizationForm_KC);
    key.removeIf([](QChar c) { return c.isSpace(); });
    return key.toCaseFolded();
}

const FontTable::Face* findFace(const QString& name) {
    const QString key = matchKey(name);
    for (const FontTable::Face& face : kFaces) {
        if (key == matchKey(fromUtf8(face.windowsName)) || key == matchKey(fromUtf8(face.asciiName)))
            return &face;
    }
    return nullptr;
}

} // namespace

std::span<const FontTable::Face> FontTable::faces() {
    return kFaces;
}

void FontTable::installSubstitutions() {
    for (const Face& face : kFaces) {
        const QString windowsName = fromUtf8(face.windowsName);
        QString joined = windowsName;
        joined.remove(QLatin1Char(' '));
        const QStringList family{fromUtf8(face.family)};
        for (const QString& spelling :
             {windowsName, joined, windowsName.normalized(QString::NormalizationForm_KC),
              fromUtf8(face.asciiName)}) {
            if (!QFont::substitutes(spelling).contains(family.front()))
                QFont::insertSubstitutions(spelling, family);
        }
    }
}

QString FontTable::faceNameText(std::string_view sjisFaceName) {
    QStringDecoder decoder("windows-31j");
    if (!decoder.isValid())
        decoder = QStringDecoder("Shift_JIS");
    if (!decoder.isValid())
        return QString::fromLatin1(sjisFaceName.data(), qsizetype(sjisFaceName.size()));
    return decoder.decode(QByteArrayView(sjisFaceName.data(), qsizetype(sjisFaceName.size())));
}

QString FontTable::familyFor(std::string_view sjisFaceName) {
    const QString name = faceNameText(sjisFaceName).trimmed();
    if (name.isEmpty())
        return fromUtf8(kDefaultFamily);
    const Face* face = findFace(name);
    return face ? fromUtf8(face->family) : name;
}

QFont FontTable::fontFor(std::string_view sjisFaceName) {
    QFont font(familyFor(sjisFaceName));
    const Face* face = findFace(faceNameText(sjisFaceName).trimmed());
    font.setStyleHint(face && face->serif ? QFont::Serif : QFont::AnyStyle);
    return font;
}

QString FontTable::fallbackFamily() {
    return fromUtf8(kDefaultFamily);
}

} // namespace platform
