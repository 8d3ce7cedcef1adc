#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "runtime/data/ControlOptions.h"

// The arithmetic of the preview window, without a window behind it: the zoom
// list and its steps, the whole-page zoom, where the page sits in the page
// view, what the scroll bars show and how scrolling moves the page, and which
// navigation controls are usable. Lengths are device pixels; the "origin" is
// the device position of the page's top-left corner in the page view.
namespace runtime::preview {

inline constexpr int kZoomClickStep = 10;
// The page keeps this gap to the view's top and left edges when it starts
// there, and scrolling stops with this gap at the far edges.
inline constexpr int kMargin = 20;
// A typed zoom is read from at most this many characters.
inline constexpr int kTypedZoomChars = 15;

struct ZoomEntry {
    std::string_view label; // UTF-8
    int zoom;               // 0: the whole page, computed for the view
};

// The zoom list in its order; the last entry is the whole page.
inline constexpr std::array<ZoomEntry, 8> kZoomList{{{"500%", 500},
                                                     {"200%", 200},
                                                     {"150%", 150},
                                                     {"125%", 125},
                                                     {"100%", 100},
                                                     {"75%", 75},
                                                     {"50%", 50},
                                                     {"ﾍﾟｰｼﾞ全体", 0}}};
inline constexpr int kWholePageEntry = 7;

// The list entry showing exactly this zoom, or nothing when the zoom has no
// entry of its own (it is then shown as typed text).
std::optional<int> zoomListEntry(int zoom);

// The largest zoom at which the whole page fits the view with room to spare
// (39 pixels each way), never above 100 and never below 50.
int wholePageZoom(int viewWidth, int viewHeight, int pageW, int pageH);

// A click in zoom mode: ten more (zoomIn) or ten less, within 50..500.
int zoomAfterClick(int zoom, bool zoomIn);

// A zoom typed into the zoom list: the leading number of its first 15
// characters (as the C library reads it), taken into 50..500. Nothing when
// the text does not start with a number above 0.
std::optional<int> typedZoom(std::string_view text);

// A page number typed or spun: within 1..pageCount.
int settlePageNumber(long long typed, int pageCount);

struct Origin {
    int x = 0;
    int y = 0;
    bool operator==(const Origin&) const = default;
};

struct Extent {
    int width = 0;
    int height = 0;
};

// The zoomed page's size: pageW x zoom / 100 by pageH x zoom / 100.
Extent zoomedPage(int pageW, int pageH, int zoom);

// Where the page goes after a zoom change or a resize: centred across when
// it is narrower than the view, at the top margin when it is not taller than
// the view plus the margin, and back at the margin when it would lie wholly
// before the view's edge. Otherwise the origin stays.
Origin placePage(Extent zoomed, Extent view, Origin origin);

// What one scroll bar shows, on a fixed range of 0..100 (Windows semantics:
// the thumb's position runs from 0 to 100 - page + 1).
struct ScrollBarState {
    bool enabled = false;
    int position = 0;
    int page = 0;
    bool operator==(const ScrollBarState&) const = default;
};

// One direction: the zoomed page extent, the view extent and the origin.
ScrollBarState scrollBarState(int zoomed, int view, int origin);

enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbPosition };

// The origin after one scroll action in one direction. Scrolling back stops
// with the page's start at most a margin in from the view's edge; scrolling
// on stops with its end at least a margin in from the far edge.
int scrolledOrigin(ScrollCode code, int thumbPosition, int zoomed, int view, int origin);

struct NavigationState {
    bool first = false;   // first and previous page
    bool last = false;    // next and last page
    bool pageBox = false; // page number and its spin control
    bool operator==(const NavigationState&) const = default;
};

// Which navigation controls work on this page of this many (0: the pages are
// not counted yet).
NavigationState navigationState(int currentPage, int pageCount);

} // namespace runtime::preview
