#include "app/xpEnable.h"

#include "platform/Connectivity.h"
#include "app/Form1.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>

namespace tavlo {

void loadConsoleFonts()
{
    // Debian's fonts-wine ships Tahoma look-alikes outside the font path.
    for (const char *file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf",
                             "/usr/share/wine/fonts/ms_sans_serif.ttf"}) {
        const QString path = QString::fromLatin1(file);
        if (QFileInfo::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    if (!QFontDatabase::families().contains(QStringLiteral("MS Sans Serif")))
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
}

int SubMain(const Platform &platform, const std::function<void(Form1 &)> &versionCheck)
{
    loadConsoleFonts();
    Form1 form(platform);
    if (!form.Form_Load())
        return 1;
    form.show();
    form.activateWindow();
    // Let the window appear (and the first activation run) before the probe.
    QCoreApplication::processEvents();
    if (platform.connectivity->isOnline() && versionCheck)
        versionCheck(form);
    return QApplication::exec();
}

} // namespace tavlo
