#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Turns UTF-8 data into code page 932, the bytes the runtime's column rules
// work on. A character that code page 932 cannot hold, and bytes that are no
// UTF-8, become the full-width "？" and are counted with the line where the
// first one stood. The conversion itself is iconv's "CP932" table.
namespace runtime {

class Utf8DataConverter {
  public:
    // The full-width question mark in code page 932.
    static constexpr std::string_view kReplacement = "\x81\x48";

    Utf8DataConverter();
    ~Utf8DataConverter();
    Utf8DataConverter(const Utf8DataConverter&) = delete;
    Utf8DataConverter& operator=(const Utf8DataConverter&) = delete;

    // False when the system offers no CP932 conversion.
    bool isValid() const;

    // Appends the converted bytes of the next piece of the input to out and
    // returns how many input bytes it used: all of them when `last`, else all
    // but a character that the piece's end cuts, which the caller passes
    // again in front of the next piece.
    std::size_t convert(std::string_view piece, bool last, std::string& out);

    std::uint64_t replacements() const { return m_replacements; }
    // The line (from 1) of the first replacement; 0 while there is none.
    std::uint64_t firstReplacedLine() const { return m_firstLine; }

  private:
    void replace(std::string_view piece, std::size_t at, std::string& out, std::size_t& used);

    void* m_cd;
    std::uint64_t m_replacements = 0;
    std::uint64_t m_firstLine = 0;
    std::uint64_t m_linesBefore = 0; // line feeds of the pieces already used
};

} // namespace runtime
