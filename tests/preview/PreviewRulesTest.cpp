#include <gtest/gtest.h>

#include "runtime/preview/PreviewRules.h"

using namespace runtime::preview;

namespace {

TEST(PreviewRules, WholePageZoomStaysWithin50And100) {
    const struct {
        int viewW, viewH, pageW, pageH, zoom;
    } rows[] = {
        {700, 600, 954, 774, 69},                            // (661 * 100 / 954, 561 * 100 / 774) = (69, 72)
        {700, 900, 954, 774, 69},                            // the width decides
        {993, 813, 954, 774, 100},                           // exactly fits at 100
        {4000, 3000, 954, 774, 100},                         // a large screen never enlarges the page
        {515, 426, 954, 774, 50},                            // 49 across is taken up to 50
        {100, 100, 954, 774, 50},    {30, 30, 954, 774, 50}, // a view smaller than the spare room
    };
    for (const auto& row : rows)
        EXPECT_EQ(wholePageZoom(row.viewW, row.viewH, row.pageW, row.pageH), row.zoom)
            << row.viewW << " x " << row.viewH;
}

TEST(PreviewRules, ZoomSteps) {
    const struct {
        int zoom;
        bool in;
        int result;
    } clicks[] = {{55, false, 50},  {50, false, 50},  {495, true, 500},
                  {500, true, 500}, {100, true, 110}, {100, false, 90}};
    for (const auto& c : clicks)
        EXPECT_EQ(zoomAfterClick(c.zoom, c.in), c.result) << c.zoom << (c.in ? " in" : " out");

    EXPECT_EQ(zoomListEntry(500), 0);
    EXPECT_EQ(zoomListEntry(100), 4);
    EXPECT_EQ(zoomListEntry(50), 6);
    EXPECT_EQ(zoomListEntry(110), std::nullopt);
    EXPECT_EQ(zoomListEntry(0), std::nullopt) << "the whole page is not a zoom";
}

TEST(PreviewRules, TypedZoom) {
    const struct {
        const char* text;
        std::optional<int> zoom;
    } rows[] = {{"1000", 500},
                {"20", 50},
                {"150", 150},
                {"150%", 150},
                {" 75", 75},
                {"abc", std::nullopt},
                {"0", std::nullopt},
                {"-120", std::nullopt},
                {"", std::nullopt},
                {"000000000000000120", std::nullopt}, // only the first 15 characters count
                {"99999999999999999999", 500}};
    for (const auto& row : rows)
        EXPECT_EQ(typedZoom(row.text), row.zoom) << '"' << row.text << '"';
}

TEST(PreviewRules, PageNumbers) {
    EXPECT_EQ(settlePageNumber(7, 5), 5);
    EXPECT_EQ(settlePageNumber(0, 5), 1);
    EXPECT_EQ(settlePageNumber(-3, 5), 1);
    EXPECT_EQ(settlePageNumber(3, 5), 3);
    EXPECT_EQ(settlePageNumber(1LL << 40, 5), 5);

    const struct {
        int current, count;
        NavigationState state;
    } rows[] = {{1, 5, {false, true, true}},
                {3, 5, {true, true, true}},
                {5, 5, {true, false, true}},
                {1, 1, {false, false, false}},
                {1, 0, {false, false, false}}};
    for (const auto& row : rows)
        EXPECT_EQ(navigationState(row.current, row.count), row.state) << row.current << " of " << row.count;
}

TEST(PreviewRules, PlacePage) {
    const struct {
        Extent zoomed, view;
        Origin before, after;
    } rows[] = {
        {{600, 900}, {800, 500}, {20, 20}, {100, 20}},      // narrower: centred across
        {{600, 900}, {800, 500}, {-50, -300}, {100, -300}}, // taller: the scroll position stays
        {{900, 510}, {800, 500}, {-40, -100}, {-40, 20}},   // not taller than the view + 20: at the top
        {{900, 900}, {800, 500}, {-950, -950}, {20, 20}},   // wholly before the view: back at the margin
        {{900, 900}, {800, 500}, {-899, -899}, {-899, -899}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(placePage(row.zoomed, row.view, row.before), row.after)
            << row.before.x << ", " << row.before.y;
    EXPECT_EQ(zoomedPage(757, 1097, 150).width, 1135);
    EXPECT_EQ(zoomedPage(757, 1097, 150).height, 1645);
}

// Zoomed extent 1000 in a view of 400: one unit is 10 pixels.
TEST(PreviewRules, ScrollBarState) {
    const struct {
        int zoomed, view, origin;
        ScrollBarState state;
    } rows[] = {
        {500, 600, 20, {false, 0, 0}},  // the page fits: no scrolling
        {1000, 400, 20, {true, 0, 38}}, // at the start: the page shows from the margin on
        {1000, 400, 0, {true, 0, 40}},      {1000, 400, -150, {true, 15, 40}},
        {1000, 400, -155, {true, 15, 40}},  // the position is truncated towards the start
        {1000, 400, -700, {true, 100, 30}}, // the end is in view: the thumb at the end
        {1001, 400, 20, {true, 0, 34}},     // unit 11
    };
    for (const auto& row : rows)
        EXPECT_EQ(scrollBarState(row.zoomed, row.view, row.origin), row.state)
            << row.zoomed << " in " << row.view << " at " << row.origin;
}

TEST(PreviewRules, ScrolledOriginStopsAtTheMargins) {
    using enum ScrollCode;
    const struct {
        ScrollCode code;
        int thumb, origin, result;
    } rows[] = {
        {LineDown, 0, 20, 10},
        {LineUp, 0, 20, 20}, // cannot go above the top margin
        {LineUp, 0, 15, 20},
        {LineUp, 0, -5, 5},
        {PageDown, 0, 20, -380},
        {PageDown, 0, -380, -620}, // the page's end stops 20 above the view's bottom: 400 - 20 - 1000
        {PageUp, 0, -620, -220},
        {PageUp, 0, -220, 20},
        {ThumbPosition, 0, -300, 20},
        {ThumbPosition, 15, 20, -150},
        {ThumbPosition, 100, 20, -620},
        {LineDown, 0, -700, -620}, // beyond the end (after a resize): raised to the end's limit
    };
    for (const auto& row : rows)
        EXPECT_EQ(scrolledOrigin(row.code, row.thumb, 1000, 400, row.origin), row.result)
            << static_cast<int>(row.code) << " from " << row.origin;
}

} // namespace
