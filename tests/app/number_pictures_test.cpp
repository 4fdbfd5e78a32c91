#include "app/number_pictures.h"

#include <gtest/gtest.h>

// Each picture shows its field colour around a glyph of its own colour.
TEST(NumberPictures, FieldAndGlyphOfEachPicture)
{
    const char expected[] = {'3', '2', '1', '0', '?'};
    for (int index = 0; index < number_pictures::Count; ++index) {
        SCOPED_TRACE(index);
        const number_pictures::Look look = number_pictures::look(index);
        EXPECT_EQ(look.text, expected[index]);
        const QImage image = number_pictures::picture(index);
        ASSERT_EQ(image.size(), QSize(24, 24));
        EXPECT_EQ(QColor(image.pixel(3, 12)), look.field) << "field at the left edge";
        int glyphPixels = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                glyphPixels += QColor(image.pixel(x, y)) == look.glyph;
        EXPECT_GT(glyphPixels, 10) << "the glyph is drawn in its own colour";
        EXPECT_NE(look.field, look.glyph);
    }
    EXPECT_EQ(number_pictures::look(number_pictures::Unknown).text, '?');
}
