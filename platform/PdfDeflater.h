#pragma once

#include <memory>
#include <string>
#include <string_view>

// zlib's deflate for stream data, one compressor kept for a whole document so
// that its window is allocated once rather than once a page.
namespace platform {

class PdfDeflater {
  public:
    // level as zlib counts it: 1 is the fastest, 9 the smallest.
    explicit PdfDeflater(int level);
    ~PdfDeflater();
    PdfDeflater(const PdfDeflater&) = delete;
    PdfDeflater& operator=(const PdfDeflater&) = delete;

    // The zlib stream (header, data, checksum) of the input in out; false
    // when zlib failed, and out is then empty.
    bool compress(std::string_view input, std::string& out);

  private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
};

} // namespace platform
