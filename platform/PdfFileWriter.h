#pragma once

#include "formdesc/OutputFile.h"

#include <string>
#include <string_view>
#include <vector>

// The object layer of a PDF file written front to back: numbered objects are
// written as they are ready, their offsets kept for the cross-reference table
// at the end. Output goes through an OutputFile: a regular file is replaced
// only when the document is complete, a device or FIFO is written directly. After the first failed write
// every further write is skipped and finish() reports the error.
namespace platform {

class PdfFileWriter {
  public:
    explicit PdfFileWriter(std::string path);
    ~PdfFileWriter();
    PdfFileWriter(const PdfFileWriter&) = delete;
    PdfFileWriter& operator=(const PdfFileWriter&) = delete;

    // Opens the output and writes the header; false when it cannot.
    bool open();
    // A number for an object written later.
    int reserveObject();
    // Writes "n 0 obj", then the body, then "endobj".
    void writeObject(int number, std::string_view body);
    // Writes a stream object: the dictionary holds `dictionary` (entries
    // without the brackets) and the length.
    void writeStream(int number, std::string_view dictionary, std::string_view data);
    // Writes the cross-reference table and trailer and puts the file in
    // place; false when anything failed.
    bool finish(int catalog, int info);
    // Drops the output (a replaced file stays as it was).
    void cancel();

    bool failed() const { return m_failed; }
    std::string errorText() const { return m_error; }
    long long bytesWritten() const { return m_offset; }

  private:
    void write(std::string_view bytes);
    void beginObject(int number);
    void drain();

    formdesc::OutputFile m_file;
    std::string m_buffer;
    long long m_offset = 0;
    std::vector<long long> m_offsets{0}; // by object number; 0 = not written
    bool m_open = false;
    bool m_failed = false;
    std::string m_error;
};

} // namespace platform
