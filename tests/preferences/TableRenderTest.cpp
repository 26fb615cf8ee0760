#include "TestListController.h"

#include "preferences/PSSliderTableCell.h"
#include "preferences/PSSwitchTableCell.h"
#include "preferences/UISlider.h"
#include "preferences/UISwitch.h"

#include <QImage>
#include <gtest/gtest.h>

// Renders a small inset-grouped table to a picture for a person to look at, and checks the
// colours that make the look.
TEST(UITableViewRender, InsetGroupedLook) {
    TestListController controller({
        row("PSGroupCell", "播放器"),
        row("PSSwitchCell", "启用", "enabled"),
        row("PSSwitchCell", "自动播放", "autoplay"),
        row("PSSliderCell", "", "volume", {{"min", 0}, {"max", 1}, {"default", 0.6}}),
        row("PSGroupCell", "Display", {},
            {{"footerText", "这些设置会立即生效。Changes apply at once."}}),
        row("PSSwitchCell", "Show lyrics", "lyrics"),
        row("PSStaticTextCell", "版本", "version", {{"default", "1.0"}}),
        row("PSEditTextCell", "名称", "name", {{"placeholder", "Name"}}),
        row("PSGroupCell", ""),
        row("PSLinkCell", "关于"),
    });
    controller.store.insert("enabled", true);
    UITableView* table = controller.showTable(390, 640);
    ASSERT_TRUE(table);
    const QImage image = table->grab().toImage();
    image.save("/tmp/prefs-table.png");
    QImage sharp(table->size() * 2, QImage::Format_ARGB32_Premultiplied);
    sharp.setDevicePixelRatio(2);
    table->render(&sharp);
    sharp.save("/tmp/prefs-table@2x.png");

    EXPECT_EQ(image.pixelColor(4, 4), QColor(242, 242, 247)); // grouped background
    const QRect first = table->rectForRowAtIndexPath({0, 0});
    EXPECT_EQ(image.pixelColor(first.left() + 8, first.center().y()), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(8, first.center().y()), QColor(242, 242, 247)); // the inset
    // The first switch is on (green), the second off (grey), each at its track's edge.
    auto* on = qobject_cast<PSSwitchTableCell*>(table->cellForRowAtIndexPath({0, 0}))->control();
    auto* off = qobject_cast<PSSwitchTableCell*>(table->cellForRowAtIndexPath({0, 1}))->control();
    const QPoint onTrack = on->mapTo(table, QPoint(6, 15));
    const QPoint offTrack = off->mapTo(table, QPoint(48, 15));
    EXPECT_EQ(image.pixelColor(onTrack), QColor(52, 199, 89));
    EXPECT_EQ(image.pixelColor(offTrack), QColor(233, 233, 234));
    // The slider's track is filled in the tint before its thumb and grey after it.
    UISlider* slider =
        qobject_cast<PSSliderTableCell*>(table->cellForRowAtIndexPath({0, 2}))->control();
    const int cy = slider->height() / 2;
    EXPECT_EQ(image.pixelColor(slider->mapTo(table, QPoint(20, cy))), QColor(0, 122, 255));
    EXPECT_EQ(image.pixelColor(slider->mapTo(table, QPoint(slider->width() - 18, cy))),
              QColor(229, 229, 234));
    // A hairline separates the first two rows, starting 16 into the section.
    const int lineY = table->rectForRowAtIndexPath({0, 1}).top() - 1;
    EXPECT_LT(image.pixelColor(first.left() + 40, lineY).red(), 230);
    EXPECT_EQ(image.pixelColor(first.left() + 8, lineY), QColor(Qt::white));
}
