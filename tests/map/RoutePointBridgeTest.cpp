// The page tells which route point was clicked through the bridge handler;
// anything but one non-negative number is refused without a box.
#include "map/CCEFV8HandlerEx.h"
#include "platform/widgets/MessageBox.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(RoutePointBridge, OneNonNegativeNumberIsPassedOn) {
    MessageBoxRecorder boxes;
    CCEFV8HandlerEx handler;
    std::vector<int> told;
    QObject::connect(&handler, &CCEFV8HandlerEx::RoutePointClicked,
                     [&](int point) { told.push_back(point); });
    const struct {
        QVariantList arguments;
        int result;
    } cases[] = {
        {{13}, 0}, {{QString("4")}, 0}, {{}, 2}, {{-1}, 2}, {{QString("x")}, 2}, {{1, 2}, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handler.Invoke("routePointClicked", c.arguments).toInt(), c.result);
    EXPECT_EQ(told, (std::vector<int>{13, 4}));
    EXPECT_TRUE(boxes.calls.empty());
}

} // namespace
