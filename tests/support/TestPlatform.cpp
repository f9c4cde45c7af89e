#include "TestPlatform.h"

#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace tavlo::test {

TestPlatform::TestPlatform()
{
    platform.messageBox = &messages;
    platform.processEnd = &ending;
    platform.connectivity = &connectivity;
    platform.programFolder = QDir::toNativeSeparators(dir.path());
}

QString TestPlatform::path(const QString &fileName) const
{
    return platform.programFolder + QDir::separator() + fileName;
}

void TestPlatform::addEmptyDatabase(const QString &fileName)
{
    const QString error = createEmptyDatabase(path(fileName));
    if (!error.isEmpty())
        qFatal("cannot create the test database: %s", qPrintable(error));
}

void TestPlatform::addDisplayFiles()
{
    writeFile(QStringLiteral("TAVLO-Display.hta"), "<html></html>");
    writeFile(QStringLiteral("TAVLO-Display.jpg"), "jpeg");
}

void TestPlatform::writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(path(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(fileName));
}

QByteArray TestPlatform::readFile(const QString &fileName) const
{
    QFile file(path(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace tavlo::test
