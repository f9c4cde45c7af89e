#include "app/Form1.h"

#include "components/AutoSizer.h"
#include "console/ConsoleLook.h"
#include "core/DisplayWriter.h"
#include "platform/FileLookup.h"
#include "console/GamesPanel.h"
#include "components/HotLabel.h"
#include "platform/MessageBox.h"
#include "app/OutlineShape.h"
#include "platform/Platform.h"
#include "console/PlayersPanel.h"
#include "platform/ProcessEnd.h"
#include "core/SettingsFile.h"
#include "core/StoreFailure.h"
#include "console/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#ifndef TAVLO_VENDOR_URL
#define TAVLO_VENDOR_URL ""
#endif
#ifndef TAVLO_VERSION_TEXT
#define TAVLO_VERSION_TEXT "0.0.0"
#endif

namespace tavlo {

namespace {

const QString Caption = QStringLiteral("TAVLO");
const QString CRLF = QStringLiteral("\r\n");

QIcon makeWindowIcon()
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

// A folder that exists but cannot be read is a failure, not an absent file.
QString unreadableFolder(const QString &path)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (folder.exists() && (!folder.isReadable() || !folder.isExecutable()))
        return QStringLiteral("Permission denied: %1").arg(QDir::toNativeSeparators(folder.filePath()));
    return {};
}

} // namespace

Form1::Form1(const Platform &platform, QWidget *parent) : QWidget(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption);
    setWindowIcon(makeWindowIcon());
    setFont(consoleFont(8.25));
    setBackground(this, bgrColor(0xC0C0C0));
    resize(twips(14715), twips(9105));
    buildLayout();
}

Form1::~Form1() = default;

QLabel *Form1::addLabel(const QString &name, const QString &text, int left, int top, int width, int height)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setGeometry(twipsRect(left, top, width, height));
    return label;
}

void Form1::buildLayout()
{
    Shape1 = new OutlineShape(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(twipsRect(600, 2040, 6135, 5295));
    Shape1->setBorderColor(QColor(bgrColor(0x808080)));
    Shape2 = new OutlineShape(this);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setGeometry(twipsRect(7680, 240, 6495, 8655));
    Shape2->setBorderColor(QColor(bgrColor(0x808080)));

    Frame2 = new PlayersPanel(m_state, m_platform, this);
    Frame2->setGeometry(twipsRect(7800, 860, 6255, 7915));
    Frame1 = new GamesPanel(m_state, m_platform, *Frame2, this);
    Frame1->setGeometry(twipsRect(720, 2640, 5895, 4575));

    lblVer = addLabel(QStringLiteral("lblVer"), QStringLiteral("1.0.0"), 14280, 8880, 390, 195);
    setForeground(lblVer, bgrColor(0x808080));

    Label5 = addLabel(QStringLiteral("Label5"), QStringLiteral(" Games"), 720, 2160, 5895, 405);
    Label6 = addLabel(QStringLiteral("Label6"), QStringLiteral(" Players"), 7800, 360, 6255, 435);
    for (QLabel *heading : {Label5, Label6}) {
        setBackground(heading, bgrColor(0x004000));
        setForeground(heading, bgrColor(0xFFFFFF));
        heading->setFont(consoleFont(15.75, true));
    }
    Label4 = addLabel(QStringLiteral("Label4"), QStringLiteral("Waiting List System"), 600, 1080, 1605, 210);
    setForeground(Label4, bgrColor(0x404040));
    Label4->setFont(consoleFont(9));
    Label3 = addLabel(QStringLiteral("Label3"), QStringLiteral("TAVLO"), 600, 480, 1500, 525);
    setForeground(Label3, bgrColor(0x404040));
    Label3->setFont(consoleFont(21.75, true));
    Label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("Waiting lists, live"), 600, 7440, 1710, 195);
    setForeground(Label2, bgrColor(0x808080));

    HotLabel1 = new HotLabel(this);
    HotLabel1->setObjectName(QStringLiteral("HotLabel1"));
    HotLabel1->setFont(consoleFont(8.25));
    HotLabel1->setCaption(QStringLiteral(TAVLO_VENDOR_URL));
    HotLabel1->setURL(QStringLiteral(TAVLO_VENDOR_URL));
    HotLabel1->setForeColor(0x00808080);
    HotLabel1->setHotColor(0x00C55410);
    HotLabel1->setBackColor(0x00C0C0C0);
    HotLabel1->setShowHand(false);
    HotLabel1->move(twipsRect(5520, 7440, 1215, 195).topLeft());

    // Below the client area, out of sight, as it has always been placed.
    AutoSizer1 = new AutoSizer(this);
    AutoSizer1->setObjectName(QStringLiteral("AutoSizer1"));
    AutoSizer1->setGeometry(twipsRect(2640, 9720, 855, 375));
    AutoSizer::markWithoutFont(Shape1);
    AutoSizer::markWithoutFont(Shape2);

    const QList<QWidget *> order{
        Frame1->List1, Frame1->cmdListsUp, Frame1->cmdListsDown, Frame1->cmdListsDelete, Frame1->cmdListsAdd,
        Frame1->txtLists, Frame1->cmdListsOk, Frame2->List2, Frame2->cmdPlayersUp, Frame2->cmdPlayersDown,
        Frame2->cmdPlayersTop, Frame2->cmdPlayersBlink, Frame2->cmdPlayersStar, Frame2->cmdPlayersPhone,
        Frame2->cmdPlayersDelete, Frame2->cmdPlayersClear, Frame2->cmdPlayersAdd, Frame2->txtPlayers,
        Frame2->cmdPlayersOk};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QString Form1::versionText()
{
    return QStringLiteral(TAVLO_VERSION_TEXT);
}

QString Form1::welcomeText()
{
    return QStringLiteral("TAVLO is a very basic waiting list system that is designed to show waiting lists on a ")
            + QStringLiteral("large screen like a Plasma or LCD.") + CRLF + CRLF
            + QStringLiteral("To create a waiting list; add a game and then add players. Players can be moved ")
            + QStringLiteral("up and down the list, graphic elements can be added like a star, phone symbol or ")
            + QStringLiteral("the name can be made to blink.") + CRLF + CRLF
            + QStringLiteral("IMPORTANT: To display the TAVLO wating list on a large screen run TAVLO-Display.hta. ")
            + QStringLiteral("Any changes made will be automatically refreshed to the display.");
}

bool Form1::Form_Load()
{
    QString job = QStringLiteral("read");
    if (!INIFile(job, m_state, m_platform))
        return false;
    if (!CheckFiles())
        return false;
    const bool loaded = runGuarded(m_state, m_platform, [this] {
        Frame1->UpdateLists();
        if (Frame1->List1->count() > 0)
            Frame1->select(0);
        else
            Frame2->setEnabled(false); // no game selected: nothing to show
        Frame2->List2_Click();
    });
    // A crash between a change and its board would otherwise leave the room watching an old
    // board until the next change.
    if (!loaded || !runGuarded(m_state, m_platform, [this] { CreateHTML(m_state, m_platform.programFolder); }))
        return false;
    if (Frame2->List2->count() == 0) {
        Frame2->cmdPlayersAdd->setEnabled(false);
        Frame2->cmdPlayersOk->setEnabled(false);
        Frame2->cmdPlayersClear->setEnabled(false);
    }
    lblVer->setText(versionText());

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    if (m_state.StartMaximized) {
        QCoreApplication::processEvents();
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    return true;
}

bool Form1::CheckFiles()
{
    const QString folder = displayFolder(m_state.FilePath, m_platform.programFolder);
    QString failure = unreadableFolder(m_state.DatabasePath);
    if (failure.isEmpty())
        failure = unreadableFolder(folder + DisplayPageName);
    if (!failure.isEmpty()) {
        m_platform.messageBox->show(failure + CRLF + CRLF + m_state.DatabasePath + CRLF + folder + DisplayPageName + CRLF
                                            + folder + DisplayPictureName,
                                    MessageBox::Critical, Caption);
        m_platform.processEnd->endNow(1);
        return false;
    }

    if (m_state.DatabasePath.isEmpty() || !QFileInfo(m_state.DatabasePath).isFile()) {
        m_platform.messageBox->show(m_state.DatabasePath + QStringLiteral(" is missing or cannot") + CRLF
                                            + QStringLiteral("connect to mapped drive/network location"),
                                    MessageBox::Critical, Caption);
        m_platform.processEnd->endNow(1);
        return false;
    }
    const auto missing = [&](const QString &name) {
        return findFileIgnoringCase(folder, name).isEmpty() && findFileIgnoringCase(m_platform.programFolder, name).isEmpty();
    };
    if (missing(QStringLiteral("tavlo-display.hta"))) {
        m_platform.messageBox->show(QStringLiteral("TAVLO-Display.hta file is missing!") + CRLF
                                            + QStringLiteral("Video display will not be possible."),
                                    MessageBox::Exclamation, Caption);
    }
    if (missing(QStringLiteral("tavlo-display.jpg"))) {
        m_platform.messageBox->show(QStringLiteral("TAVLO-Display.jpg file is missing!") + CRLF
                                            + QStringLiteral("There will be no background image") + CRLF
                                            + QStringLiteral("on the video display."),
                                    MessageBox::Information, Caption);
    }
    return true;
}

void Form1::Form_Activate()
{
    if (m_state.FirstRun)
        m_platform.messageBox->show(welcomeText(), MessageBox::OkOnly, QStringLiteral("Welcome"));
}

bool Form1::Form_Unload()
{
    if (m_unloaded)
        return true;
    m_unloaded = true;
    m_state.StartMaximized = isMaximized();
    QString job = QStringLiteral("write");
    return INIFile(job, m_state, m_platform);
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        // Remember where the activation went: coming back from another window of ours
        // activates the form again, coming back from a message box or another program does not.
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
    QMetaObject::invokeMethod(this, &Form1::Form_Activate, Qt::QueuedConnection);
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

} // namespace tavlo
