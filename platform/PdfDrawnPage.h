#pragma once

#include "platform/PageTarget.h"

#include <QRawFont>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A PDF page as a lane hands it to the document: its content stream and, in
// the order they happened while it was drawn, the faces the lane took up, the
// glyphs it drew for the first time and the images it met for the first time.
// The document replays these in page order, so that resource names, object
// numbers and font subsets come out as if every page had been drawn in turn.
namespace platform {

// An image as the file holds it, prepared by the lane that first drew it.
struct PdfPreparedImage {
    std::string key; // digest of the pixels: the same picture is one object
    int width = 0;
    int height = 0;
    bool alpha = false;
    std::string colors, mask; // the stream data, compressed when *Packed
    bool colorsPacked = false;
    bool maskPacked = false;
};

// Events hold no object of the lane, which may be gone when they are replayed.
struct PdfPageEvent {
    enum class Kind : std::uint8_t { Face, Glyph, Image };
    Kind kind = Kind::Face;
    std::shared_ptr<const std::string> identity; // of the face (Face, Glyph)
    std::function<QRawFont()> load;              // loads the face again (Face)
    std::uint16_t glyph = 0;                     // Glyph
    char16_t character = 0;
    std::shared_ptr<const PdfPreparedImage> image; // Image
};

struct PdfDrawnPage : DrawnPage {
    // Names the lane could not know yet are written as a mark, "\x01F<n>\x02"
    // for faceIdentities[n] and "\x01I<n>\x02" for imageKeys[n]; such a
    // content is left uncompressed until the document puts the names in.
    std::string content;
    bool packed = false;
    bool marked = false;
    std::vector<std::string> faceIdentities;
    std::vector<std::string> imageKeys;
    std::vector<PdfPageEvent> events;
};

} // namespace platform
