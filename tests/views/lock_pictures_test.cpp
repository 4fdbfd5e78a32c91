// The pictures of the three axis modes on the lock icon.
#include "views/chart/lock_pictures.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

TEST(LockPictures, ThreeDistinctSixteenPixelPictures)
{
    const QImage automatic = lock_pictures::picture(0);
    const QImage manual = lock_pictures::picture(1);
    const QImage locked = lock_pictures::picture(2);
    for (const QImage *p : {&automatic, &manual, &locked}) {
        EXPECT_EQ(p->size(), QSize(16, 16));
        EXPECT_EQ(qAlpha(p->pixel(0, 15)), 0) << "transparent corner";
    }
    EXPECT_NE(automatic, manual);
    EXPECT_NE(manual, locked);
    const auto count = [](const QImage &image, auto test) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += test(QColor::fromRgba(image.pixel(x, y))) ? 1 : 0;
        return n;
    };
    const auto yellow = [](const QColor &c) {
        return c.alpha() > 128 && c.red() > 200 && c.green() > 150 && c.blue() < 80;
    };
    const auto red = [](const QColor &c) {
        return c.alpha() > 128 && c.red() > 150 && c.green() < 80 && c.blue() < 80;
    };
    EXPECT_GT(count(automatic, yellow), 3) << "the spark";
    EXPECT_EQ(count(manual, yellow), 0);
    EXPECT_GT(count(locked, red), 30);
    EXPECT_EQ(count(manual, red), 0);
    EXPECT_FALSE(lock_pictures::picture(3).isNull());
    EXPECT_EQ(qAlpha(lock_pictures::picture(3).pixel(8, 8)), 0);
}
