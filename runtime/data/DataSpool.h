#pragma once

#include "formdesc/FormModel.h"
#include "runtime/data/DataEncoding.h"
#include "runtime/data/RecordConverter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The data file as the job reads it. Shift-JIS data in a file is read where it
// is. Data from standard input, and UTF-8 data, are first written to a private
// file (mode 0600 in a folder of its own, mode 0700, under $XDG_RUNTIME_DIR,
// else $TMPDIR, else /tmp; a place that is full or cannot be written gives way
// to the next, which takes over what was written): the job reads its data
// more than once, and the column rules need code page 932. The private file
// and its folder go when the spool does, on every road out of the job.
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

    // Makes the character image of CSV or JSON records ready in a private
    // file (Shift-JIS), from the file at `path` or from standard input. False
    // when the input cannot be opened, is malformed (result.error is set) or
    // the private file cannot be written.
    bool prepareRecords(const std::string& path, bool fromStandardInput, const formdesc::FormModel& model,
                        const RecordOptions& options, RecordResult& result);

    // The file the job reads.
    const std::string& path() const { return m_readPath; }
    // True when the data was written to a private file.
    bool isSpooled() const { return !m_file.empty(); }
    // The encoding the data was read in (AUTO settled).
    DataEncoding encoding() const { return m_encoding; }
    // The lines of the private file as DataLineReader reads them, when the
    // spool built it from records; nothing otherwise (the file must be read
    // to know).
    std::optional<std::uint64_t> lineParts() const { return m_lineParts; }
    // Characters replaced by "？" and the line of the first one (0: none).
    std::uint64_t replacements() const { return m_replacements; }
    std::uint64_t firstReplacedLine() const { return m_firstReplacedLine; }

    // Why the private file could not be made or written, as the system's
    // error number of the last place tried; 0 when it was not the private
    // file that failed (the input itself could not be read).
    int spoolError() const { return m_error; }

    // Removes the private file and its folder now.
    void remove();

    // For a program that runs one job at a time (the command line): a
    // private file still on disk when an interrupt, hang-up, termination or
    // broken pipe ends the process is removed first, as are the temporary
    // files of the outputs (formdesc::SignalCleanup). Signals that are
    // ignored stay ignored.
    static void removeOnSignals();

  private:
    bool createFile();
    bool createFileIn(const std::string& parent);
    bool moveToNextParent();
    bool copyWritten(const std::string& from);
    bool copy(int fd, std::string head, bool convert);
    bool writeAll(std::string_view bytes);

    std::string m_readPath;
    std::string m_folder;
    std::string m_file;
    int m_out = -1;
    int m_signalSlot = -1;
    std::vector<std::string> m_parents; // where the private folder may go, in order
    std::size_t m_parent = 0;           // the one in use
    std::uint64_t m_written = 0;        // bytes in the private file
    int m_error = 0;
    DataEncoding m_encoding = DataEncoding::ShiftJis;
    std::uint64_t m_replacements = 0;
    std::uint64_t m_firstReplacedLine = 0;
    std::optional<std::uint64_t> m_lineParts;
};

} // namespace runtime
