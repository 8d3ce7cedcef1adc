#include "platform/PdfFileWriter.h"

#include "platform/PdfStreamWriter.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Written out whenever this much has gathered.
constexpr std::size_t kBufferBytes = 1 << 18;

} // namespace

PdfFileWriter::PdfFileWriter(std::string path) : m_file(std::move(path)) {}

PdfFileWriter::~PdfFileWriter() {
    cancel();
}

bool PdfFileWriter::open() {
    if (!m_file.open()) {
        m_error = m_file.errorText();
        m_failed = true;
        return false;
    }
    m_open = true;
    // The binary comment tells transfer programs that the file is not text.
    write("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
    return true;
}

int PdfFileWriter::reserveObject() {
    m_offsets.push_back(0);
    return int(m_offsets.size() - 1);
}

void PdfFileWriter::write(std::string_view bytes) {
    if (m_failed)
        return;
    m_buffer.append(bytes);
    m_offset += static_cast<long long>(bytes.size());
    if (m_buffer.size() >= kBufferBytes)
        drain();
}

void PdfFileWriter::drain() {
    if (m_failed || m_buffer.empty())
        return;
    if (!m_file.write(m_buffer)) {
        m_error = m_file.errorText();
        m_failed = true;
    }
    m_buffer.clear();
}

void PdfFileWriter::beginObject(int number) {
    if (number <= 0 || std::size_t(number) >= m_offsets.size())
        return;
    m_offsets[std::size_t(number)] = m_offset;
    PdfStreamWriter head;
    head.num(number).raw("0 obj\n");
    write(head.bytes());
}

void PdfFileWriter::writeObject(int number, std::string_view body) {
    beginObject(number);
    write(body);
    write("\nendobj\n");
}

void PdfFileWriter::writeStream(int number, std::string_view dictionary, std::string_view data) {
    beginObject(number);
    PdfStreamWriter head;
    head.raw("<<")
        .raw(dictionary)
        .raw("/Length ")
        .num(static_cast<long long>(data.size()))
        .raw(">>\nstream\n");
    write(head.bytes());
    write(data);
    write("\nendstream\nendobj\n");
}

bool PdfFileWriter::finish(int catalog, int info) {
    if (!m_open)
        return false;
    const long long xref = m_offset;
    PdfStreamWriter table;
    table.raw("xref\n0 ").num(static_cast<long long>(m_offsets.size())).raw("\n0000000000 65535 f \n");
    for (std::size_t i = 1; i < m_offsets.size(); ++i) {
        // Ten digits of offset, then the generation; objects reserved but
        // never written are listed as free.
        char entry[20];
        long long offset = std::clamp(m_offsets[i], 0LL, 9'999'999'999LL);
        for (int digit = 9; digit >= 0; --digit, offset /= 10)
            entry[digit] = char('0' + offset % 10);
        std::memcpy(entry + 10, m_offsets[i] > 0 ? " 00000 n \n" : " 00000 f \n", 10);
        table.raw(std::string_view(entry, 20));
    }
    table.raw("trailer\n<</Size ").num(static_cast<long long>(m_offsets.size()));
    table.raw("/Root ").num(catalog).raw("0 R/Info ").num(info).raw("0 R>>\nstartxref\n");
    table.num(xref).raw("\n%%EOF\n");
    write(table.bytes());
    drain();
    m_open = false;
    if (m_failed) {
        m_file.discard();
        return false;
    }
    if (!m_file.commit()) {
        m_error = m_file.errorText();
        m_failed = true;
        return false;
    }
    return true;
}

void PdfFileWriter::cancel() {
    if (m_open) {
        m_file.discard();
        m_open = false;
    }
}

} // namespace platform
