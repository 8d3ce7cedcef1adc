#include "runtime/data/PageReader.h"

#include <climits>

namespace runtime {

bool PageReader::open(const std::string& path) {
    return open(path, 0, 1);
}

bool PageReader::open(const std::string& path, FilePosition start, int firstPageNumber) {
    m_pageNumber = firstPageNumber - 1;
    m_pending.reset();
    if (!m_reader.open(path))
        return false;
    m_reader.seek(start);
    m_pending = m_reader.readLine();
    return true;
}

void PageReader::openMemory(std::string_view bytes) {
    m_pageNumber = 0;
    m_reader.openMemory(bytes);
    m_pending = m_reader.readLine();
}

bool PageReader::nextPage(PageBuffer& page, const formdesc::FormInfo& form, LineHook beforeLine) {
    if (!m_pending)
        return false;
    const int perPage = rowsPerPage(form.rows);
    page.clear();
    while (m_pending && page.count() < perPage) {
        if (beforeLine)
            beforeLine();
        page.addRecord(*m_pending, form);
        m_pending = m_reader.readLine();
    }
    // A full page is whole even when reading on to the next one failed.
    if (m_reader.failed() && page.count() < perPage)
        return false;
    if (m_pageNumber < INT_MAX)
        ++m_pageNumber;
    return true;
}

} // namespace runtime
