#pragma once

#include "platform/PdfDrawnPage.h"

class QImage;

// An image XObject: its pixels as PDF stream data (RGB, with a grey soft mask
// when the image has alpha), a digest of them that names the picture whatever
// QImage holds it, and the objects written to the file.
namespace platform {

class PdfFileWriter;

// The pixels and their digest, uncompressed; an empty key when the image
// cannot be converted.
PdfPreparedImage imagePixels(const QImage& image);
// Compresses the stream data where that makes it smaller.
void packImage(PdfPreparedImage& image);
// Writes the image (and its mask first) and returns the image's object number.
int writeImage(PdfFileWriter& file, const PdfPreparedImage& image);

} // namespace platform
