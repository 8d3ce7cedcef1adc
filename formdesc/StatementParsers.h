#pragma once

#include "FormModel.h"
#include "FormReader.h"

#include <string_view>

// Turning one joined statement (already cut at its ';', upper-cased) into a
// record of the model.
namespace formdesc {

void parseBaseStatement(std::string_view statement, FormModel& model);
void parseFieldStatement(std::string_view statement, FormModel& model, ReaderVariant variant);
void parseFigureStatement(int kind, std::string_view statement, FormModel& model);

void parseStatement(int kind, std::string_view statement, FormModel& model, ReaderVariant variant);

} // namespace formdesc
