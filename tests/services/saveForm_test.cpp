// Windows come back where the user left them, under keys named after their own class.
#include "services/settings/IniHandler.h"
#include "services/dialogs/saveForm.h"
#include "temp_data_folders.h"

#include <functional>
#include <memory>

class GaugeWindow : public TSaveForm
{
    Q_OBJECT
};

namespace {

class SaveForm : public TempDataFolders
{
protected:
    void TearDown() override
    {
        TIniHandler::release();
        TempDataFolders::TearDown();
    }
    static TFormGeometry stored() { return TIniHandler::getInstance()->readGeometry(QStringLiteral("GaugeWindow")); }
};

TEST_F(SaveForm, GeometryIsStoredWhenTheUserLeavesTheWindow)
{
    const struct {
        const char *how;
        std::function<void(std::unique_ptr<GaugeWindow> &)> leave;
    } cases[] = {
        {"close", [](std::unique_ptr<GaugeWindow> &w) { w->close(); }},
        {"hide", [](std::unique_ptr<GaugeWindow> &w) { w->hide(); }},
        {"released while shown", [](std::unique_ptr<GaugeWindow> &w) { w.reset(); }},
    };
    int shift = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        shift += 10;
        auto window = std::make_unique<GaugeWindow>();
        window->show();
        window->setGeometry(100 + shift, 90 + shift, 420 + shift, 300);
        const QRect outer = window->frameGeometry();
        c.leave(window);
        const TFormGeometry g = stored();
        EXPECT_EQ(QRect(g.left, g.top, g.width, g.height), outer);
        EXPECT_EQ(g.state, 0);
    }
    // The base class must not take the place of the window's own class.
    EXPECT_EQ(TIniHandler::getInstance()->readGeometry(QStringLiteral("TSaveForm")).width, -1);
}

TEST_F(SaveForm, StoredGeometryIsRestoredWhenShownAgain)
{
    {
        GaugeWindow first;
        first.show();
        first.setGeometry(210, 160, 500, 320);
        first.close();
    }
    const TFormGeometry g = stored();
    GaugeWindow second;
    second.resize(200, 100);
    second.show();
    EXPECT_EQ(second.frameGeometry(), QRect(g.left, g.top, g.width, g.height));
    EXPECT_EQ(second.frameGeometry().size(), QSize(g.width, g.height));
    EXPECT_EQ(g.width, 500 + (second.frameGeometry().width() - second.width()));
}

TEST_F(SaveForm, AWindowNeverShownStoresNothing)
{
    {
        GaugeWindow window;
        window.setGeometry(10, 10, 300, 200);
        window.hide();
    }
    const TFormGeometry g = stored();
    EXPECT_EQ(g.left, -1);
    EXPECT_EQ(g.width, -1);
}

TEST_F(SaveForm, WithoutStoredGeometryTheWindowKeepsItsOwnSize)
{
    GaugeWindow window;
    window.resize(640, 360);
    window.show();
    EXPECT_EQ(window.size(), QSize(640, 360));
}

} // namespace

#include "saveForm_test.moc"
