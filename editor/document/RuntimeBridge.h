#pragma once

#include "formdesc/FormModel.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Hands the form in memory to the runtime library for a preview or a print:
// writes it and one page of sample data into a private temporary folder,
// loads libZRK.so, calls one entry point, unloads the library and removes the
// files and the folder again, whatever happened.
namespace editor {

enum class RuntimeMode { Print = 1, Preview = 2 };

class RuntimeBridge {
  public:
    enum Result {
        kDone = 0,
        kNoLibrary = -1,
        kFormNotWritten = -2,
        kDataNotWritten = -3,
    };

    // Looks for the library in the default places (see defaultLibraryCandidates).
    RuntimeBridge();
    // Looks for the library in the given places, in order.
    explicit RuntimeBridge(std::vector<std::string> libraryCandidates);

    // Runs a preview or a print of the model. documentPath names the
    // temporary files; owner is the native id of the window that owns the
    // library's windows (0 for none).
    int run(const formdesc::FormModel& model, const QString& documentPath, RuntimeMode mode,
            std::uintptr_t owner);

    // Called with the two temporary paths just before the entry point runs.
    void setHandOverObserver(std::function<void(const std::string&, const std::string&)> observer) {
        m_observer = std::move(observer);
    }

    // "$$$_<file name without folder and extension>", cut (never inside a
    // character) so that the name with ".zrk" fits the file system's limit.
    static std::string temporaryBaseName(const QString& documentPath);
    // Turns every relative bitmap name of the model that leads to a file
    // from the folder of documentPath (then from the current folder, as the
    // canvas finds it) into that file's absolute path. Names that lead
    // nowhere, or whose path a form file cannot hold, stay as they are.
    static void anchorBitmapNames(formdesc::FormModel& model, const QString& documentPath);
    // The library by name (the system's search order), then beside the
    // program, then in ../lib/<multiarch> and ../lib of an installed layout;
    // the versioned name before the bare one in each place.
    static std::vector<std::string> defaultLibraryCandidates();
    static std::vector<std::string> libraryCandidates(const QString& programFolder);

    static constexpr const char* kLibraryName = "libZRK.so";
    static constexpr const char* kPrintControl = "CONTROL CANCEL=ON;";

  private:
    std::vector<std::string> m_candidates;
    std::function<void(const std::string&, const std::string&)> m_observer;
};

} // namespace editor
