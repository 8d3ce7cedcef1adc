#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// Turns whole UTF-8 values into code page 932 a character at a time through
// a table of the characters met so far, each looked up once in iconv's
// "CP932" table: the values of a long record file are not each handed to
// iconv. The code page is stateless, so a value reads the same as iconv
// would give it whole. A value holding anything the table does not answer
// alone (bytes that are no UTF-8, a character beyond the basic plane or one
// code page 932 lacks) is refused, for Utf8DataConverter to replace and count.
class CodePageCache {
  public:
    CodePageCache();
    ~CodePageCache();
    CodePageCache(const CodePageCache&) = delete;
    CodePageCache& operator=(const CodePageCache&) = delete;

    // Appends the value's code page 932 bytes to out; false, with out cut
    // back to what it held, when the value needs the full converter.
    bool convert(std::string_view value, std::string& out);

  private:
    std::uint32_t lookUp(std::uint32_t codePoint, std::string_view character) {
        const std::uint32_t entry = m_table[codePoint];
        return entry != 0 ? entry : remember(codePoint, character);
    }
    std::uint32_t remember(std::uint32_t codePoint, std::string_view character);

    void* m_cd;
    // By code point: 0 not looked up yet, kMissing, else the byte count
    // (1 or 2) in the top byte above the bytes.
    std::vector<std::uint32_t> m_table;
};

} // namespace runtime
