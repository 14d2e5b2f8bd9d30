// The photo window's numbers: enabled buttons, the picture's panel, the zoom
// and the printed rectangle.

#include "views/PhotoLayout.h"

#include <gtest/gtest.h>

namespace korthal {
namespace {

TEST(PhotoLayout, ButtonsFollowThePointAndPhotograph)
{
    // The first of three points, photograph 1, a file.
    PhotoButtons b = photoButtons(1, 3, 1, true);
    EXPECT_FALSE(b.previousPoint);
    EXPECT_TRUE(b.nextPoint);
    EXPECT_FALSE(b.previousPhoto);
    EXPECT_TRUE(b.nextPhoto);
    EXPECT_TRUE(b.pictureActions);
    // The last point, photograph 6, no file.
    b = photoButtons(3, 3, 6, false);
    EXPECT_TRUE(b.previousPoint);
    EXPECT_FALSE(b.nextPoint);
    EXPECT_TRUE(b.previousPhoto);
    EXPECT_FALSE(b.nextPhoto);
    EXPECT_FALSE(b.pictureActions);
    // The only point: neither way.
    b = photoButtons(1, 1, 2, true);
    EXPECT_FALSE(b.previousPoint || b.nextPoint);
    EXPECT_TRUE(b.previousPhoto && b.nextPhoto);
}

TEST(PhotoLayout, PictureIsFittedSixPixelsSmallerAndCentred)
{
    // A 4:3 photograph in a wide panel: the height decides.
    EXPECT_EQ(photoPanelRect({600, 400}, {4000, 3000}), (PixelRect{36, 3, 527, 394}));
    // A portrait one in the same panel.
    EXPECT_EQ(photoPanelRect({600, 400}, {3000, 4000}), (PixelRect{153, 3, 294, 394}));
    // A tall panel: the width decides.
    EXPECT_EQ(photoPanelRect({300, 500}, {4000, 3000}), (PixelRect{3, 140, 294, 219}));
    // Halves round to the even neighbour (50.5 gives 50), offsets are
    // halved toward zero.
    EXPECT_EQ(photoPanelRect({101, 100}, {2, 1}), (PixelRect{3, 28, 95, 44}));
    // No picture: no panel.
    EXPECT_EQ(photoPanelRect({600, 400}, {0, 0}), PixelRect{});
}

TEST(PhotoLayout, ZoomAndTheWindowSize)
{
    const PixelSize base{700, 539};
    EXPECT_EQ(zoomedWindowSize(base, 1.0), (PixelSize{700, 539}));
    EXPECT_EQ(zoomedWindowSize(base, kZoomInFactor), (PixelSize{735, 566}));
    EXPECT_EQ(zoomedWindowSize(base, kZoomOutFactor), (PixelSize{665, 512}));
    EXPECT_EQ(zoomedWindowSize(base, 0.5), (PixelSize{350, 270}));  // 269.5 to even
    // A new width gives the zoom; a new height alone gives it from the height.
    EXPECT_DOUBLE_EQ(zoomAfterResize(base, 1.05, {800, 566}), 800.0 / 700);
    EXPECT_DOUBLE_EQ(zoomAfterResize(base, 1.05, {735, 600}), 600.0 / 539);
    EXPECT_DOUBLE_EQ(zoomAfterResize(base, 1.0, {700, 539}), 1.0);
}

TEST(PhotoLayout, PrintedRectangle)
{
    // A4 at 600 dpi: a landscape photograph takes the page's width less 200.
    EXPECT_EQ(photoPrintRect({4960, 7016}, {4000, 3000}), (PixelRect{100, 100, 4760, 3570}));
    EXPECT_EQ(photoPrintRect({4960, 7016}, {3000, 4000}), (PixelRect{100, 100, 4760, 6347}));
    // Too tall for the page: the height is the page's less 200.
    EXPECT_EQ(photoPrintRect({4960, 7016}, {1000, 3000}), (PixelRect{100, 100, 2272, 6816}));
    // Between the bottom margin and the page's edge: made smaller as well,
    // so that no part of the picture falls off the page.
    const PixelRect r = photoPrintRect({1000, 1000}, {800, 940});
    EXPECT_EQ(r, (PixelRect{100, 100, 681, 800}));
    EXPECT_LE(r.top + r.height, 1000 - 100);
    EXPECT_EQ(photoPrintRect({1000, 1000}, {0, 0}), PixelRect{});
}

}  // namespace
}  // namespace korthal
