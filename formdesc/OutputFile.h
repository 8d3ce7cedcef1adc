#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// One output file of the system (a saved form, a PDF document, a PNG page),
// written in pieces and put in place by commit().
//
// A regular file, or a name not taken yet, is written to a temporary file in
// the same folder and renamed over the target only when everything was
// written, so the old file stays whole on any failure. A replaced file keeps
// its owner, group and permission bits; when they cannot be kept, or the user
// may not write the file, the output is refused. Symbolic links are followed:
// the file they name is replaced, the link stays.
//
// A target that exists and is no regular file (a terminal, /dev/null, a FIFO)
// and the standard streams named as /dev/stdout, /dev/stderr or /dev/fd/N are
// written directly: there is nothing to rename over, and a reader waiting on
// the other end must get the bytes.
//
// The temporary file (".zrk-tmp-" and eight letters or digits) is removed
// when a signal ends the process, once SignalCleanup's handlers are
// installed; the ones a killed process left (older than an hour, not locked
// by a running writer) are removed from a folder before the first temporary
// file of the process goes there.
//
// Errors are kept as the system's error number; errorText() gives the
// system's words for it.
namespace formdesc {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of an existing file, through links; nothing when it cannot be
// reached.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// The system's words for an error number ("No space left on device").
std::string systemErrorText(int error);

class OutputFile {
  public:
    explicit OutputFile(std::string path);
    ~OutputFile(); // an uncommitted output is discarded
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Decides how the target is written and checks that it may be, without
    // creating or opening anything.
    bool check();
    // check(), then creates the temporary file or opens the target.
    bool open();
    // Writes all bytes; after the first failure every write is skipped.
    bool write(std::string_view bytes);
    // Flushes the bytes to disk and puts the file in place (or closes a
    // direct target); false with the error when anything failed.
    bool commit();
    // Closes and removes the temporary file; the target stays as it was.
    void discard();

    bool isDirect() const { return m_direct; }
    bool failed() const { return m_error != 0; }
    int errorNumber() const { return m_error; }
    std::string errorText() const;

  private:
    bool fail(int error);
    bool checkReplace();
    bool createTemporary();
    void closeFile();

    std::string m_path;   // as given
    std::string m_target; // links resolved
    std::string m_temporary;
    int m_standardStream = -1; // the descriptor a /dev/fd spelling names
    int m_fd = -1;
    int m_signalSlot = -1; // the temporary file's, in SignalCleanup
    bool m_checked = false;
    bool m_direct = false;
    bool m_exists = false;
    uid_t m_owner = 0;
    gid_t m_group = 0;
    mode_t m_mode = 0;
    int m_error = 0;
};

} // namespace formdesc
