#include "runtime/preview/PreviewRules.h"

#include <algorithm>
#include <climits>

#include "formdesc/ValueParsers.h"

namespace runtime::preview {

std::optional<int> zoomListEntry(int zoom) {
    for (int i = 0; i < kWholePageEntry; ++i)
        if (kZoomList[static_cast<std::size_t>(i)].zoom == zoom)
            return i;
    return std::nullopt;
}

int wholePageZoom(int viewWidth, int viewHeight, int pageW, int pageH) {
    // A page without extent fits at any zoom.
    const long long zx = pageW > 0 ? (viewWidth - 39LL) * 100 / pageW : 100;
    const long long zy = pageH > 0 ? (viewHeight - 39LL) * 100 / pageH : 100;
    return static_cast<int>(std::max<long long>(std::min({zx, zy, 100LL}), kMinZoom));
}

int zoomAfterClick(int zoom, bool zoomIn) {
    return zoomIn ? std::min(zoom + kZoomClickStep, kMaxZoom) : std::max(zoom - kZoomClickStep, kMinZoom);
}

std::optional<int> typedZoom(std::string_view text) {
    const int value = formdesc::parseInteger(text.substr(0, kTypedZoomChars));
    if (value <= 0)
        return std::nullopt;
    return std::clamp(value, kMinZoom, kMaxZoom);
}

int settlePageNumber(long long typed, int pageCount) {
    return static_cast<int>(std::clamp<long long>(typed, 1, std::max(pageCount, 1)));
}

Extent zoomedPage(int pageW, int pageH, int zoom) {
    return {static_cast<int>(static_cast<long long>(zoom) * pageW / 100),
            static_cast<int>(static_cast<long long>(zoom) * pageH / 100)};
}

Origin placePage(Extent zoomed, Extent view, Origin origin) {
    if (zoomed.width < view.width)
        origin.x = (view.width - zoomed.width) / 2;
    if (zoomed.height < view.height + kMargin)
        origin.y = kMargin;
    if (zoomed.width + origin.x < 0)
        origin.x = kMargin;
    if (zoomed.height + origin.y < 0)
        origin.y = kMargin;
    return origin;
}

namespace {

// One step of the bar: a hundredth of the zoomed extent, rounded up.
int scrollUnit(int zoomed) {
    return std::max((zoomed + 99) / 100, 1);
}

} // namespace

ScrollBarState scrollBarState(int zoomed, int view, int origin) {
    if (zoomed < view)
        return {};
    const int unit = scrollUnit(zoomed);
    ScrollBarState state{true, 0, 0};
    if (origin < 0 && view < zoomed + origin) {
        state.position = -(origin / unit);
        state.page = view / unit;
    } else if (origin < 0) {
        state.position = 100;
        state.page = (zoomed + origin) / unit;
    } else {
        state.position = 0;
        state.page = std::min(zoomed, view - origin) / unit;
    }
    return state;
}

int scrolledOrigin(ScrollCode code, int thumbPosition, int zoomed, int view, int origin) {
    const int unit = scrollUnit(zoomed);
    long long moved = origin;
    switch (code) {
    case ScrollCode::LineUp:
        moved += unit;
        break;
    case ScrollCode::LineDown:
        moved -= unit;
        break;
    case ScrollCode::PageUp:
        moved += view;
        break;
    case ScrollCode::PageDown:
        moved -= view;
        break;
    case ScrollCode::ThumbPosition:
        moved = thumbPosition == 0 ? kMargin : -static_cast<long long>(thumbPosition) * unit;
        break;
    }
    if (moved > origin)
        moved = std::min<long long>(moved, kMargin);
    else if (moved < origin)
        moved = std::max<long long>(moved, static_cast<long long>(view) - kMargin - zoomed);
    return static_cast<int>(std::clamp<long long>(moved, INT_MIN, INT_MAX));
}

NavigationState navigationState(int currentPage, int pageCount) {
    if (pageCount < 1)
        return {};
    return {currentPage != 1, currentPage != pageCount, pageCount > 1};
}

} // namespace runtime::preview
