#include "platform/QtUrlOpener.h"

#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

namespace tavlo {

bool DesktopUrlOpener::open(const QString &address)
{
    QUrl url(address, QUrl::TolerantMode);
    // Surrounding blanks or a missing scheme still lead somewhere sensible.
    if (!url.isValid() || url.scheme().isEmpty())
        url = QUrl::fromUserInput(address.trimmed());
    // Only web and mail addresses: a stored path must not start a local program.
    static const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp"),
                                     QStringLiteral("mailto")};
    if (!url.isValid() || !schemes.contains(url.scheme().toLower()))
        return false;
    return QDesktopServices::openUrl(url);
}

DesktopUrlOpener &DesktopUrlOpener::instance()
{
    static DesktopUrlOpener opener;
    return opener;
}

} // namespace tavlo
