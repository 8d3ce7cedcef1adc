#pragma once

#include "formdesc/FormModel.h"
#include "formdesc/FormReader.h"

#include <string_view>

// Turning one joined statement (already cut at its ';', upper-cased) into a
// record of the model.
namespace formdesc {

// A field or figure statement past the 1,024 records of its kind is not
// stored: the parsers then answer false.
void parseBaseStatement(std::string_view statement, FormModel& model);
bool parseFieldStatement(std::string_view statement, FormModel& model, ReaderVariant variant);
bool parseFigureStatement(int kind, std::string_view statement, FormModel& model);
// A barcode's TYPE, ECC, HRI or content that the statement does not give
// rightly is kept as a bad value in the record (see Barcode.h).
bool parseBarcodeStatement(std::string_view statement, FormModel& model);

bool parseStatement(int kind, std::string_view statement, FormModel& model, ReaderVariant variant);

} // namespace formdesc
