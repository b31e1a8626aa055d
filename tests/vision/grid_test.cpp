#include <gtest/gtest.h>

#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/grid.hpp"

namespace audkit {
namespace {

std::shared_ptr<AudView> view(const std::string& className, AudBounds bounds = {}) {
    AudView::Fields fields;
    fields.className = className;
    fields.boundsInScreen = bounds;
    return AudView::make(std::move(fields), std::make_shared<AudProps>(), nullptr);
}

std::vector<std::string> classes(const std::vector<std::shared_ptr<AudView>>& views) {
    std::vector<std::string> names;
    for (const auto& found : views) names.push_back(found->className);
    return names;
}

const AudBounds screen(0, 1170, 0, 2532);

TEST(Grid, ViewsAreFoundThroughEveryCellTheirRectanglesCover) {
    Grid grid(screen);
    grid.insert(view("Wide"), AudBounds(10, 60, 0, 40));     // cells (0, 0) and (1, 0)
    grid.insert(view("Edge"), AudBounds(49, 50, 100, 110));  // a right edge at 50 reaches column 1
    grid.insert(view("Far"), AudBounds(500, 520, 500, 520));

    EXPECT_EQ(classes(grid.views(AudBounds(55, 56, 0, 1))), std::vector<std::string>{"Wide"});
    EXPECT_EQ(classes(grid.views(AudBounds(51, 52, 101, 102))), std::vector<std::string>{"Edge"});
    EXPECT_EQ(classes(grid.views(AudBounds(0, 49, 100, 101))), std::vector<std::string>{"Edge"});
    EXPECT_TRUE(grid.views(AudBounds(300, 320, 300, 320)).empty());
    // Met in several cells, listed once; in column order, then row order.
    EXPECT_EQ(classes(grid.views(AudBounds(0, 99, 0, 149))), (std::vector<std::string>{"Wide", "Edge"}));
    // -49.9 truncates toward zero like 49.9: both in column 0.
    Grid aroundZero(screen);
    aroundZero.insert(view("Left"), AudBounds(-49.9F, -40, 0, 10));
    EXPECT_EQ(classes(aroundZero.views(AudBounds(40, 49.9F, 0, 10))), std::vector<std::string>{"Left"});
}

TEST(Grid, EqualViewsAreListedOnceAndFarRectanglesShareTheBorderCells) {
    Grid grid(screen);
    const auto card = view("Card", AudBounds(0, 100, 0, 100));
    grid.insert(card, AudBounds(0, 100, 0, 100));
    grid.insert(card, AudBounds(0, 100, 0, 100));
    grid.insert(view("Card", AudBounds(0, 100, 0, 100)), AudBounds(0, 10, 0, 10));  // equal to card
    EXPECT_EQ(grid.views(AudBounds(0, 10, 0, 10)).size(), 1U);

    // A rectangle a billion points across costs no more cells than the
    // screen, and is still found where it lies.
    grid.insert(view("Huge"), AudBounds(-1e9F, 1e9F, -1e9F, 1e9F));
    EXPECT_EQ(classes(grid.views(AudBounds(600, 610, 1200, 1210))), std::vector<std::string>{"Huge"});
    grid.insert(view("Below"), AudBounds(0, 10, 5e8F, 5e8F + 10));
    EXPECT_EQ(classes(grid.views(AudBounds(0, 10, 9e8F, 9e8F + 10))), (std::vector<std::string>{"Huge", "Below"}));
}

}  // namespace
}  // namespace audkit
