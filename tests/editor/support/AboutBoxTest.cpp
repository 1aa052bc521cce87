#include "desktop/ShellExecute.h"
#include "desktop/WindowHandles.h"
#include "editor/support/frmAbout.h"
#include "editor/support/modForms.h"
#include "editor/support/ProductArt.h"
#include "editor/support/ProductLinks.h"
#include "editor/support/TwipsGeometry.h"
#include "tests/support/ScriptedShell.h"

#include <functional>
#include <gtest/gtest.h>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zrv::desktop;

namespace {

template <typename T> T* Child(QWidget& form, const char* name)
{
    T* child = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(AboutBox, layoutFollowsTheFormDesign)
{
    frmAbout about;
    EXPECT_EQ(about.objectName(), QStringLiteral("frmAbout"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About ZorvaFortune Editor"));
    EXPECT_EQ(about.size(), TwipsGeometry::Size(4845, 4110));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());

    const struct {
        const char* name;
        QRect twips;
    } controls[] = {
        {"picMF", {240, 180, 4395, 1545}},     {"picCopyRight", {240, 1980, 4395, 1245}},
        {"lblHelp", {780, 120, 2955, 345}},    {"lblCopyRight", {240, 690, 3885, 345}},
        {"cmdClose", {3600, 3660, 1125, 345}},
    };
    for (const auto& c : controls) {
        const QWidget* widget = Child<QWidget>(about, c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(),
                  TwipsGeometry::Rect(c.twips.x(), c.twips.y(), c.twips.width(), c.twips.height()))
            << c.name;
    }
    EXPECT_EQ(Child<QLabel>(about, "lblHelp")->parentWidget()->objectName(),
              QStringLiteral("picCopyRight"));
    EXPECT_EQ(Child<QLabel>(about, "lblHelp")->text(), ProductLinks::MakerUrl);
    EXPECT_FALSE(Child<QLabel>(about, "lblCopyRight")->text().isEmpty());
    EXPECT_EQ(Child<QFrame>(about, "picCopyRight")->palette().color(QPalette::Window),
              QColor(255, 255, 210));
    const QPixmap banner = Child<QLabel>(about, "picMF")->pixmap();
    EXPECT_EQ(banner.size(), QSize(ProductArt::BannerWidth, ProductArt::BannerHeight));
    EXPECT_EQ(Child<QFrame>(about, "Line1")->frameShape(), QFrame::HLine);
    const QPushButton* ok = Child<QPushButton>(about, "cmdClose");
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(Child<QLabel>(about, "picMF")->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(Child<QLabel>(about, "lblHelp")->cursor().shape(), Qt::BitmapCursor);
}

TEST(AboutBox, isCentredOnTheScreen)
{
    frmAbout about;
    const QSize screen = TwipsGeometry::ScreenPixels();
    EXPECT_EQ(about.pos(),
              QPoint((screen.width() - about.width()) / 2, (screen.height() - about.height()) / 2));
}

TEST(AboutBox, bannerAndAddressOpenTheirPagesOwnedByTheBox)
{
    frmAbout about;
    ASSERT_NE(about.hWnd(), 0u);
    zrv::test::ScriptedShell shell;
    shell.expectShell(42);
    shell.expectShell(SE_ERR_FNF);
    QTest::mouseClick(Child<QLabel>(about, "picMF"), Qt::LeftButton);
    QTest::mouseClick(Child<QLabel>(about, "lblHelp"), Qt::LeftButton);
    ASSERT_EQ(shell.requests().size(), 2u);
    EXPECT_EQ(shell.requests()[0].file, ProductLinks::HomePageUrl);
    EXPECT_EQ(shell.requests()[1].file, ProductLinks::MakerUrl);
    for (const ShellRequest& request : shell.requests()) {
        EXPECT_EQ(request.owner, about.hWnd());
        EXPECT_EQ(request.verb, QStringLiteral("open"));
        EXPECT_EQ(request.showCmd, SW_SHOWNORMAL);
    }
}

// The launcher shows a fresh box modally; OK, Enter and Esc each end it.
TEST(AboutBox, launcherEndsOnOkEnterAndEscape)
{
    const std::function<void(QWidget*)> closers[] = {
        [](QWidget* box) {
            QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdClose")),
                              Qt::LeftButton);
        },
        [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); },
        [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); },
    };
    QWidget owner;
    for (const auto& close : closers) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (qobject_cast<frmAbout*>(window) && window->isVisible()) {
                    seen = window->isModal() && window == QApplication::activeModalWidget();
                    close(window);
                }
            }
        });
        ShowAbout(&owner);
        EXPECT_TRUE(seen);
        EXPECT_TRUE(owner.findChildren<frmAbout*>().isEmpty());
    }
}

} // namespace
