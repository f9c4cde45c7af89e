#include "console/MainWindow.h"

#include "base/Twips.h"
#include "components/BgrColor.h"
#include "components/LinkLabel.h"
#include "components/ProportionalScaler.h"
#include "console/ConsoleLook.h"
#include "console/ListPanel.h"
#include "console/OutlineShape.h"
#include "console/RoomListModel.h"
#include "platform/MessageBox.h"
#include "room/Room.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPainter>

#ifndef TAVLO_VENDOR_URL
#define TAVLO_VENDOR_URL ""
#endif

namespace tavlo {

namespace {

const QString CRLF = QStringLiteral("\r\n");

} // namespace

QIcon MainWindow::icon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(BgrColor(0x004000).rgb()));
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("T"));
    return QIcon(pixmap);
}

MainWindow::MainWindow(Room &room, MessageBox &messages, const Clock &clock, const WaitEstimates &estimates, QWidget *parent)
    : QWidget(parent)
    , m_room(room)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("TAVLO"));
    setFont(consoleFont(8.25));
    setBackground(this, BgrColor(0xC0C0C0).rgb());
    resize(twips(14715), twips(9105));
    buildLayout(clock, estimates);
    buildCommands();
}

MainWindow::~MainWindow() = default;

QLabel *MainWindow::addLabel(const QString &name, const QString &text, int left, int top, int width, int height)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(twipsRect(left, top, width, height));
    return label;
}

void MainWindow::buildLayout(const Clock &clock, const WaitEstimates &estimates)
{
    auto *gamesOutline = new OutlineShape(this);
    gamesOutline->setObjectName(QStringLiteral("gamesOutline"));
    gamesOutline->setGeometry(twipsRect(600, 2040, 6135, 5295));
    gamesOutline->setBorderColor(QColor(BgrColor(0x808080).rgb()));
    auto *playersOutline = new OutlineShape(this);
    playersOutline->setObjectName(QStringLiteral("playersOutline"));
    playersOutline->setGeometry(twipsRect(7680, 240, 6495, 8655));
    playersOutline->setBorderColor(QColor(BgrColor(0x808080).rgb()));

    m_playersPanel = new ListPanel(m_room, m_messages, playersPanelConfig(clock, m_room), this);
    m_playersPanel->setGeometry(twipsRect(7800, 860, 6255, 7915));
    m_gamesPanel = new ListPanel(m_room, m_messages, gamesPanelConfig(estimates), this);
    m_gamesPanel->setGeometry(twipsRect(720, 2640, 5895, 4575));
    connect(m_gamesPanel, &ListPanel::entryShown, m_playersPanel, &ListPanel::showList);

    // Ends where it always did, with room for the digits in the fonts that stand in for Tahoma.
    m_versionLabel = addLabel(QStringLiteral("versionLabel"), QStringLiteral("1.0.0"), 14100, 8880, 570, 195);
    m_versionLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    setForeground(m_versionLabel, BgrColor(0x808080).rgb());

    // The texts below have room to spare on their right: for the wider fonts that stand in
    // for Tahoma, and for longer translations.
    QLabel *gamesHeading = addLabel(QStringLiteral("gamesHeading"), tr(" Games"), 720, 2160, 5895, 405);
    QLabel *playersHeading = addLabel(QStringLiteral("playersHeading"), tr(" Players"), 7800, 360, 6255, 435);
    for (QLabel *heading : {gamesHeading, playersHeading}) {
        setBackground(heading, BgrColor(0x004000).rgb());
        setForeground(heading, BgrColor(0xFFFFFF).rgb());
        heading->setFont(consoleFont(15.75, true));
    }
    QLabel *subtitle = addLabel(QStringLiteral("subtitleLabel"), tr("Waiting List System"), 600, 1080, 2895, 210);
    setForeground(subtitle, BgrColor(0x404040).rgb());
    subtitle->setFont(consoleFont(9));
    QLabel *title = addLabel(QStringLiteral("productLabel"), QStringLiteral("TAVLO"), 600, 480, 1800, 525);
    setForeground(title, BgrColor(0x404040).rgb());
    title->setFont(consoleFont(21.75, true));
    QLabel *notice = addLabel(QStringLiteral("noticeLabel"), tr("Waiting lists, live"), 600, 7440, 2895, 195);
    setForeground(notice, BgrColor(0x808080).rgb());

    m_vendorLink = new LinkLabel(this);
    m_vendorLink->setObjectName(QStringLiteral("vendorLink"));
    m_vendorLink->setFont(consoleFont(8.25));
    m_vendorLink->setCaption(QStringLiteral(TAVLO_VENDOR_URL));
    m_vendorLink->setUrl(QStringLiteral(TAVLO_VENDOR_URL));
    m_vendorLink->setForeColor(BgrColor(0x00808080).rgb());
    m_vendorLink->setHotColor(BgrColor(0x00C55410).rgb());
    m_vendorLink->setBackColor(BgrColor(0x00C0C0C0).rgb());
    m_vendorLink->setShowHand(false);
    m_vendorLink->move(twipsRect(5520, 7440, 1215, 195).topLeft());
    m_vendorLink->setAccessibleDescription(tr("Opens the vendor's web page in the browser"));

    // Keeps every control in proportion with the window, fonts included.
    m_scaler = new ProportionalScaler(this);
    m_scaler->setObjectName(QStringLiteral("scaler"));

    const QList<QWidget *> order = m_gamesPanel->tabOrder() + m_playersPanel->tabOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::buildCommands()
{
    m_undoAction = new QAction(this);
    m_undoAction->setObjectName(QStringLiteral("undoAction"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_redoAction = new QAction(this);
    m_redoAction->setObjectName(QStringLiteral("redoAction"));
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction *action : {m_undoAction, m_redoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(m_undoAction, &QAction::triggered, this, &MainWindow::undo);
    connect(m_redoAction, &QAction::triggered, this, &MainWindow::redo);
    connect(&m_room, &Room::historyChanged, this, &MainWindow::updateHistoryCommands);
    updateHistoryCommands();
    updateHistoryTexts();

    m_reportsAction = new QAction(tr("Reports…"), this);
    m_reportsAction->setObjectName(QStringLiteral("reportsAction"));
    m_reportsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m_reportsAction->setShortcutContext(Qt::WindowShortcut);
    addAction(m_reportsAction);
    connect(m_reportsAction, &QAction::triggered, this, &MainWindow::reportsRequested);

    m_settingsAction = new QAction(tr("Settings\u2026"), this);
    m_settingsAction->setObjectName(QStringLiteral("settingsAction"));
    m_settingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_settingsAction->setShortcutContext(Qt::WindowShortcut);
    addAction(m_settingsAction);
    connect(m_settingsAction, &QAction::triggered, this, &MainWindow::settingsRequested);

    // F6 goes from one list to the other, as between the panes of a window.
    auto *otherList = new QAction(this);
    otherList->setShortcut(Qt::Key_F6);
    otherList->setShortcutContext(Qt::WindowShortcut);
    addAction(otherList);
    connect(otherList, &QAction::triggered, this, [this] {
        QWidget *games = m_gamesPanel->list();
        QWidget *players = m_playersPanel->list();
        const bool inGames = m_gamesPanel->isAncestorOf(focusWidget());
        (inGames && players->isEnabled() ? players : games)->setFocus(Qt::ShortcutFocusReason);
    });

    // Each list's context menu: undo, redo and its panel's commands with their keys.
    for (ListPanel *panel : {m_gamesPanel, m_playersPanel})
        panel->setMenuFrame({m_undoAction, m_redoAction}, {m_reportsAction, m_settingsAction});
}

void MainWindow::updateHistoryCommands()
{
    // At once, so that a key pressed right after a change finds Undo there; the texts, seen
    // only in the menu, follow when the command is over.
    m_undoAction->setEnabled(m_room.canUndo());
    m_redoAction->setEnabled(m_room.canRedo());
    if (!m_historyTextsDue) {
        m_historyTextsDue = true;
        QMetaObject::invokeMethod(this, &MainWindow::updateHistoryTexts, Qt::QueuedConnection);
    }
}

void MainWindow::updateHistoryTexts()
{
    m_historyTextsDue = false;
    m_undoAction->setText(m_room.canUndo() ? m_room.undoText() : tr("Undo"));
    m_redoAction->setText(m_room.canRedo() ? m_room.redoText() : tr("Redo"));
}

void MainWindow::undo()
{
    const Room::Target target = m_room.undoTarget();
    if (m_room.undo())
        showChangedEntry(target.gameId, target.playerId);
}

void MainWindow::redo()
{
    const Room::Target target = m_room.redoTarget();
    if (m_room.redo())
        showChangedEntry(target.gameId, target.playerId);
}

void MainWindow::showChangedEntry(qint64 gameId, qint64 playerId)
{
    // The game the change was about, else the first; and its player, where there is one.
    const RoomListModel &games = *m_gamesPanel->model();
    const qint64 game = games.rowOf(gameId) >= 0 ? gameId : games.idAt(0);
    if (game == 0) {
        m_gamesPanel->open();
        m_playersPanel->showList(0);
        return;
    }
    m_gamesPanel->select(game);
    if (m_playersPanel->model()->rowOf(playerId) >= 0)
        m_playersPanel->select(playerId);
}

void MainWindow::showRoom()
{
    m_gamesPanel->open();
    m_playersPanel->open();
}

QString MainWindow::welcomeText()
{
    return tr("TAVLO is a very basic waiting list system that is designed to show waiting lists on a "
              "large screen like a Plasma or LCD.")
            + CRLF + CRLF
            + tr("To create a waiting list; add a game and then add players. Players can be moved "
                 "up and down the list, graphic elements can be added like a star, phone symbol or "
                 "the name can be made to blink.")
            + CRLF + CRLF
            + tr("IMPORTANT: To display the TAVLO wating list on a large screen run TAVLO-Display.hta. "
                 "Any changes made will be automatically refreshed to the display.");
}

void MainWindow::greet()
{
    if (m_firstRun)
        m_messages.show(welcomeText(), MessageBox::Icon::NoIcon, MessageBox::Buttons::Ok, tr("Welcome"));
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
