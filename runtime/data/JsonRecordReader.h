#pragma once

#include <cstdio>
#include <functional>
#include <string_view>

#include "runtime/data/RecordDocument.h"
#include "runtime/data/RecordError.h"

namespace runtime {

// Streams the documents of a JSON file: the file is an array of documents,
// or an object whose "pages" member is one (its other members are passed
// over). A document is an object whose members are names with a string or a
// number (kept as the JSON text writes it), or an array of those for several
// lines; null is a blank value, true and false stand as written. Only the
// document being read is held in memory. Names and values stay UTF-8.
class JsonRecordReader {
  public:
    // Called for every document in file order; returning false stops the
    // read (read() then returns false with no error set).
    using DocumentHandler = std::function<bool(RecordDocument&)>;

    // Reads the whole input; false on a syntax or shape error (error() names
    // its line and column) or when the handler stopped it.
    bool read(std::FILE* in, const DocumentHandler& handler);
    bool read(std::string_view bytes, const DocumentHandler& handler);

    const RecordError& error() const { return m_error; }

  private:
    RecordError m_error;
};

} // namespace runtime
