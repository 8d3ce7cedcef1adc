#pragma once

#include "DataEncoding.h"

#include <cstdint>
#include <string>

// The data file as the job reads it. Shift-JIS data in a file is read where it
// is. Data from standard input, and UTF-8 data, are first written to a private
// file (mode 0600 in a folder of its own, mode 0700, under $XDG_RUNTIME_DIR or
// the system's temporary folder): the job reads its data more than once, and
// the column rules need code page 932. The private file and its folder go
// when the spool does, on every road out of the job.
namespace runtime {

class DataSpool {
  public:
    DataSpool() = default;
    ~DataSpool();
    DataSpool(const DataSpool&) = delete;
    DataSpool& operator=(const DataSpool&) = delete;

    // Makes the data ready: from the file at `path`, or from standard input.
    // False when the input cannot be opened or read, or the private file
    // cannot be written; the caller shows the data file's message.
    bool prepare(const std::string& path, bool fromStandardInput, DataEncoding encoding);

    // The file the job reads.
    const std::string& path() const { return m_readPath; }
    // True when the data was written to a private file.
    bool isSpooled() const { return !m_file.empty(); }
    // The encoding the data was read in (AUTO settled).
    DataEncoding encoding() const { return m_encoding; }
    // Characters replaced by "？" and the line of the first one (0: none).
    std::uint64_t replacements() const { return m_replacements; }
    std::uint64_t firstReplacedLine() const { return m_firstReplacedLine; }

    // Removes the private file and its folder now.
    void remove();

    // For a program that runs one job at a time (the command line): a
    // private file still on disk when an interrupt, hang-up, termination or
    // broken pipe ends the process is removed first. Signals that are ignored
    // stay ignored.
    static void removeOnSignals();

  private:
    bool createFile();
    bool copy(int fd, std::string head, bool convert);
    bool writeAll(std::string_view bytes);

    std::string m_readPath;
    std::string m_folder;
    std::string m_file;
    int m_out = -1;
    DataEncoding m_encoding = DataEncoding::ShiftJis;
    std::uint64_t m_replacements = 0;
    std::uint64_t m_firstReplacedLine = 0;
};

} // namespace runtime
