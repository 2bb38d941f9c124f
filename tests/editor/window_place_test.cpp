// Where a remembered window opens: kept where a screen shows its top edge, moved onto the
// main screen where none does, and never taller than the tallest screen.
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Form.h"

using veltrano::platform::MoveOntoScreens;
using veltrano::platform::Rect;

TEST(WindowPlace, MovedOntoTheMainScreenOnlyWhenNoScreenShowsItsTop) {
    const std::vector<Rect> two{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const std::vector<Rect> one{{0, 0, 1920, 1080}};
    struct Case {
        Rect window;
        std::vector<Rect> screens;
        Rect want;
    } const cases[] = {
        {{300, 200, 453, 600}, one, {300, 200, 453, 600}},
        {{2500, 100, 453, 600}, two, {2500, 100, 453, 600}}, // on the second screen
        {{2500, 100, 453, 600}, one, {1467, 100, 453, 600}}, // that screen is gone
        {{1900, 10, 453, 600}, one, {1467, 10, 453, 600}},   // 20 pixels of its top show
        {{1850, 10, 453, 600}, one, {1850, 10, 453, 600}},   // 70 pixels show: draggable
        {{-5000, -5000, 453, 600}, two, {0, 0, 453, 600}},
        {{100, 1070, 453, 600}, one, {100, 480, 453, 600}}, // only 10 rows of its top
        {{10, 20, 453, 99999}, two, {10, 20, 453, 1080}},   // as tall as the tallest screen
        {{10, 20, 453, 600}, {}, {10, 20, 453, 600}},       // no screens known: left alone
    };
    for (const Case& c : cases) {
        const Rect got = MoveOntoScreens(c.window, c.screens);
        EXPECT_EQ(std::tie(got.x, got.y, got.w, got.h),
                  std::tie(c.want.x, c.want.y, c.want.w, c.want.h))
            << "window at " << c.window.x << "," << c.window.y << " height " << c.window.h;
    }
}
