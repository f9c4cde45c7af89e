#include "console/MainWindow.h"

#include "components/AutoSizer.h"
#include "components/HotLabel.h"
#include "console/ConsoleLook.h"
#include "console/GamesPanel.h"
#include "console/OutlineShape.h"
#include "console/PlayersPanel.h"
#include "console/Twips.h"
#include "platform/MessageBox.h"
#include "room/Room.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

#ifndef TAVLO_VENDOR_URL
#define TAVLO_VENDOR_URL ""
#endif

namespace tavlo {

namespace {

const QString CRLF = QStringLiteral("\r\n");

QIcon windowIcon16()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(bgrColor(0x004000)));
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("T"));
    return QIcon(pixmap);
}

} // namespace

MainWindow::MainWindow(Room &room, MessageBox &messages, QWidget *parent)
    : QWidget(parent)
    , m_room(room)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("TAVLO"));
    setWindowIcon(windowIcon16());
    setFont(consoleFont(8.25));
    setBackground(this, bgrColor(0xC0C0C0));
    resize(twips(14715), twips(9105));
    buildLayout();
}

MainWindow::~MainWindow() = default;

QLabel *MainWindow::addLabel(const QString &name, const QString &text, int left, int top, int width, int height)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(twipsRect(left, top, width, height));
    return label;
}

void MainWindow::buildLayout()
{
    auto *gamesOutline = new OutlineShape(this);
    gamesOutline->setObjectName(QStringLiteral("gamesOutline"));
    gamesOutline->setGeometry(twipsRect(600, 2040, 6135, 5295));
    gamesOutline->setBorderColor(QColor(bgrColor(0x808080)));
    auto *playersOutline = new OutlineShape(this);
    playersOutline->setObjectName(QStringLiteral("playersOutline"));
    playersOutline->setGeometry(twipsRect(7680, 240, 6495, 8655));
    playersOutline->setBorderColor(QColor(bgrColor(0x808080)));

    m_playersPanel = new PlayersPanel(m_room, m_messages, this);
    m_playersPanel->setGeometry(twipsRect(7800, 860, 6255, 7915));
    m_gamesPanel = new GamesPanel(m_room, m_messages, this);
    m_gamesPanel->setGeometry(twipsRect(720, 2640, 5895, 4575));
    connect(m_gamesPanel, &GamesPanel::gameSelected, m_playersPanel, &PlayersPanel::showGame);
    connect(m_gamesPanel, &GamesPanel::addingGame, m_playersPanel, &PlayersPanel::blankForNewGame);
    connect(m_gamesPanel, &GamesPanel::deletingGame, m_playersPanel, &PlayersPanel::blankForDeletedGame);

    m_versionLabel = addLabel(QStringLiteral("versionLabel"), QStringLiteral("1.0.0"), 14280, 8880, 390, 195);
    setForeground(m_versionLabel, bgrColor(0x808080));

    QLabel *gamesHeading = addLabel(QStringLiteral("gamesHeading"), QStringLiteral(" Games"), 720, 2160, 5895, 405);
    QLabel *playersHeading = addLabel(QStringLiteral("playersHeading"), QStringLiteral(" Players"), 7800, 360, 6255, 435);
    for (QLabel *heading : {gamesHeading, playersHeading}) {
        setBackground(heading, bgrColor(0x004000));
        setForeground(heading, bgrColor(0xFFFFFF));
        heading->setFont(consoleFont(15.75, true));
    }
    QLabel *subtitle = addLabel(QStringLiteral("subtitleLabel"), QStringLiteral("Waiting List System"), 600, 1080, 1605, 210);
    setForeground(subtitle, bgrColor(0x404040));
    subtitle->setFont(consoleFont(9));
    QLabel *title = addLabel(QStringLiteral("productLabel"), QStringLiteral("TAVLO"), 600, 480, 1500, 525);
    setForeground(title, bgrColor(0x404040));
    title->setFont(consoleFont(21.75, true));
    QLabel *notice = addLabel(QStringLiteral("noticeLabel"), QStringLiteral("Waiting lists, live"), 600, 7440, 1710, 195);
    setForeground(notice, bgrColor(0x808080));

    m_vendorLink = new HotLabel(this);
    m_vendorLink->setObjectName(QStringLiteral("vendorLink"));
    m_vendorLink->setFont(consoleFont(8.25));
    m_vendorLink->setCaption(QStringLiteral(TAVLO_VENDOR_URL));
    m_vendorLink->setURL(QStringLiteral(TAVLO_VENDOR_URL));
    m_vendorLink->setForeColor(0x00808080);
    m_vendorLink->setHotColor(0x00C55410);
    m_vendorLink->setBackColor(0x00C0C0C0);
    m_vendorLink->setShowHand(false);
    m_vendorLink->move(twipsRect(5520, 7440, 1215, 195).topLeft());

    // Below the client area, out of sight, as it has always been placed.
    m_scaler = new AutoSizer(this);
    m_scaler->setObjectName(QStringLiteral("scaler"));
    m_scaler->setGeometry(twipsRect(2640, 9720, 855, 375));
    AutoSizer::markWithoutFont(gamesOutline);
    AutoSizer::markWithoutFont(playersOutline);

    const GamesPanel &g = *m_gamesPanel;
    const PlayersPanel &p = *m_playersPanel;
    const QList<QWidget *> order{g.gameList(), g.moveUpButton(), g.moveDownButton(), g.deleteButton(), g.addButton(),
                                 g.nameEdit(), g.saveButton(), p.playerList(), p.moveUpButton(), p.moveDownButton(),
                                 p.moveToTopButton(), p.blinkButton(), p.starButton(), p.phoneButton(),
                                 p.deleteButton(), p.deleteAllButton(), p.addButton(), p.nameEdit(), p.saveButton()};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::showRoom()
{
    m_gamesPanel->showGames();
    if (m_room.games().isEmpty())
        m_playersPanel->setEnabled(false); // no game selected: nothing to show
    else
        m_gamesPanel->selectGame(0);
    m_playersPanel->onSelectionChanged();
    if (m_playersPanel->playerCount() == 0) {
        m_playersPanel->addButton()->setEnabled(false);
        m_playersPanel->saveButton()->setEnabled(false);
        m_playersPanel->deleteAllButton()->setEnabled(false);
    }
}

QString MainWindow::welcomeText()
{
    return QStringLiteral("TAVLO is a very basic waiting list system that is designed to show waiting lists on a ")
            + QStringLiteral("large screen like a Plasma or LCD.") + CRLF + CRLF
            + QStringLiteral("To create a waiting list; add a game and then add players. Players can be moved ")
            + QStringLiteral("up and down the list, graphic elements can be added like a star, phone symbol or ")
            + QStringLiteral("the name can be made to blink.") + CRLF + CRLF
            + QStringLiteral("IMPORTANT: To display the TAVLO wating list on a large screen run TAVLO-Display.hta. ")
            + QStringLiteral("Any changes made will be automatically refreshed to the display.");
}

void MainWindow::greet()
{
    if (m_firstRun)
        m_messages.show(welcomeText(), MessageBox::OkOnly, QStringLiteral("Welcome"));
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        // Remember where the activation went: coming back from another window of ours
        // activates this one again, coming back from a message box or another program does not.
        m_activeElsewhere = QApplication::activeWindow();
        return;
    }
    const bool fromOurWindow = m_activeElsewhere && m_activeElsewhere != this
            && !qobject_cast<QMessageBox *>(m_activeElsewhere.data());
    m_activeElsewhere.clear();
    if (m_activatedOnce && !fromOurWindow)
        return;
    m_activatedOnce = true;
    // Let the activation finish before a modal box takes over.
    QMetaObject::invokeMethod(this, &MainWindow::greet, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        emit closing();
    }
    event->accept();
}

} // namespace tavlo
