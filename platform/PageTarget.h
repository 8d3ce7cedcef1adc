#pragma once

#include "platform/DeviceContext.h"

#include <memory>
#include <string>

// Where printed pages go: a printer, a PDF file or PNG images. A job begins a
// document, draws every page on the target's device context between
// beginPage and endPage, and ends the document.
namespace platform {

// Paper of a target in tenths of a millimetre, already turned to the form's
// direction (width across, height down).
struct PaperTenths {
    int width = 0;
    int height = 0;
};

// A target destroyed before endDocument() drops the document unfinished: a
// job that fails half way commits nothing.
class PageTarget {
  public:
    virtual ~PageTarget() = default;

    // Starts the document; false when the output cannot be used at all.
    virtual bool beginDocument(const std::string& utf8Name) = 0;
    virtual void beginPage() = 0;
    virtual void endPage() = 0;
    // Ends the document; false when the output could not be completed (a
    // write failed, the spooler refused it). Pages stay as they were drawn.
    virtual bool endDocument() = 0;

    // The drawing surface, valid from beginDocument to endDocument.
    virtual DeviceContext& deviceContext() = 0;
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    virtual PaperTenths paper() const = 0;
    // What went wrong, in the output system's words, after a failure.
    virtual std::string errorText() const { return {}; }
    // True once a page could not be put out: the job stops there instead of
    // drawing pages that go nowhere.
    virtual bool outputFailed() const { return false; }
};

// The device origin of a file target lies 5 mm in from the paper's corner,
// where a printer's printable area would begin.
inline int printableOffset(int dpi) {
    return dpi * 50 / 254;
}

} // namespace platform
