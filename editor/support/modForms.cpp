#include "editor/support/modForms.h"

#include "desktop/ShellExecute.h"
#include "editor/support/frmAbout.h"
#include "editor/support/modShellEx.h"
#include "editor/support/ProductLinks.h"

using namespace zrv::desktop;

void ShowHomePage(HWND owner)
{
    OpenWithShell(ProductLinks::HomePageUrl, SW_SHOWDEFAULT, {}, {}, QStringLiteral("open"), owner);
}

void ShowUserGuide(HWND owner)
{
    OpenWithShell(ProductLinks::UserGuideUrl, SW_SHOWDEFAULT, {}, {}, QStringLiteral("open"),
                  owner);
}

void ShowAbout(QWidget* owner)
{
    frmAbout about(owner);
    about.setWindowModality(Qt::ApplicationModal);
    about.exec();
}
