// The component gallery: every look of the progress bar, across and upright, with and without
// its caption, driven by one slider; the link label; and a small window that the proportional
// scaler keeps in proportion. The bars' settings are remembered from one run to the next, in
// TAVLO/gallery.ini in the user's configuration folder.
#include "BarsPanel.h"
#include "SmallWindow.h"

#include "components/LinkLabel.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

using namespace tavlo;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("TAVLO component gallery"));

    auto *bars = new BarsPanel;
    auto *links = new QGroupBox(QStringLiteral("Link label"));
    auto *linkLayout = new QVBoxLayout(links);
    auto *link = new LinkLabel;
    link->setCaption(QStringLiteral("A link with a hand and no address"));
    link->setFontSize(11);
    auto *clicked = new QLabel(QStringLiteral("Point at it, click it."));
    QObject::connect(link, &LinkLabel::clicked, clicked, [clicked] { clicked->setText(QStringLiteral("Clicked.")); });
    linkLayout->addWidget(link);
    linkLayout->addWidget(clicked);
    linkLayout->addStretch();
    auto *scaled = new QGroupBox(QStringLiteral("Proportional scaler on a small window"));
    (new QVBoxLayout(scaled))->addWidget(new SmallWindow);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(links);
    bottom->addWidget(scaled, 1);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(bars);
    layout->addLayout(bottom, 1);

    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("TAVLO"), QStringLiteral("gallery"));
    settings.beginGroup(QStringLiteral("bars"));
    bars->readSettings(settings);
    settings.endGroup();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [bars, &settings] {
        settings.beginGroup(QStringLiteral("bars"));
        bars->writeSettings(settings);
        settings.endGroup();
    });

    // "--size WxH" resizes the gallery once it is up, to show the scaler at work.
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--size")); i >= 0 && i + 1 < args.size()) {
        const QStringList wh = args[i + 1].split(QLatin1Char('x'));
        if (wh.size() == 2)
            QTimer::singleShot(300, &window, [&window, wh] { window.resize(wh[0].toInt(), wh[1].toInt()); });
    }
    new QShortcut(QKeySequence::Quit, &window, &window, &QWidget::close);
    window.show();
    return app.exec();
}
