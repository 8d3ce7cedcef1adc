#pragma once

#include "editor/sheets/PropertyPageRules.h"
#include "formdesc/FormModel.h"

#include <QString>
#include <QStringList>

// The barcode page's values and its store, apart from the window: the type
// and ECC as list positions, the content as a constant or one of the form's
// field tags.
namespace editor {

struct BarcodeValues {
    PositionValues position;
    int type = 0; // list position: 0 JAN13 ... 10 PDF417 (type code - 1)
    bool fromField = false;
    QString constText; // the constant, as typed
    QString fieldTag;  // the chosen tag; empty for none
    bool hri = false;
    formdesc::ColorRef color = 0;
    int ecc = 0; // list position: 0 既定, 1 L ... 4 H
    bool operator==(const BarcodeValues&) const = default;
};

// The type names in list order, as the form file writes them.
QStringList barcodeTypeNames();
// The ECC list: 既定, L, M, Q, H.
QStringList barcodeEccNames();
// The form's field tags in field order, each once (the フィールド list).
QStringList fieldTagsOf(const formdesc::FormModel& model);

BarcodeValues fillBarcode(const formdesc::FigureInfo& figure);
// Refuses a position outside the grid, an empty constant or one that has no
// Shift-JIS form or does not fit, a field tag the form does not hold, and a
// record that would not read back from the form file. HRI is kept for linear
// codes and ECC for QR only, as the file keeps them.
StoreResult<formdesc::FigureInfo> storeBarcodeValues(const BarcodeValues& values,
                                                     const formdesc::FormModel& model);

} // namespace editor
