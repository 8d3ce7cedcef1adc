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

// A page drawn on a lane, waiting to be put into the document.
class DrawnPage {
  public:
    virtual ~DrawnPage() = default;
};

// A drawing surface of its own for one worker thread of a file target: the
// lane draws whole pages, which the job hands back to the target in page
// order (PageTarget::putPage). Everything a lane draws with (fonts, glyph
// and image caches) is its own, so lanes need no lock while they draw.
class PageLane {
  public:
    virtual ~PageLane() = default;
    virtual DeviceContext& deviceContext() = 0;
    virtual void beginPage() = 0;
    // The page drawn since beginPage, ready to be put in.
    virtual std::unique_ptr<DrawnPage> endPage() = 0;
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

    // Drawing on several threads, for targets that can (files, not printers):
    // hasLanes() says whether it can; openLane() makes a new lane, valid from
    // beginDocument to endDocument, and may be called from any thread. Pages drawn on lanes are put in with
    // putPage, from the job's thread, in page order, instead of
    // beginPage/endPage; the output is the same bytes as when drawn in turn.
    virtual bool hasLanes() const { return false; }
    virtual std::unique_ptr<PageLane> openLane() { return nullptr; }
    virtual void putPage(std::unique_ptr<DrawnPage>) {}
};

// The device origin of a file target lies 5 mm in from the paper's corner,
// where a printer's printable area would begin.
inline int printableOffset(int dpi) {
    return dpi * 50 / 254;
}

} // namespace platform
