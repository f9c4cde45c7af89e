#include "update/fUpgrade.h"

#include "base/LeadingNumber.h"
#include "platform/MessageBox.h"
#include "update/NetGrab.h"
#include "platform/ProcessEnd.h"
#include "update/ProgramStarter.h"
#include "base/TextFile.h"
#include "components/XP_ProgressBar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>

#include <cmath>

namespace tavlo {

namespace {

const QString appTitle = QStringLiteral("TAVLO");
const QString cancelledText = QStringLiteral(
    "Download cancelled!\r\n\r\nUpgrade to new version was not completed.");
const QString badFileText = QStringLiteral(
    "New version file did not download correctly!\r\nUpgrade was not completed, please try again later.");

// Layout values are in twips; 15 make one pixel at 96 dpi.
int px(int twips)
{
    return static_cast<int>(roundHalfEven(twips / 15.0));
}

QFont tahoma(double points)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    return font;
}

void paintBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *greyLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFont(tahoma(8.25));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    label->setPalette(palette);
    return label;
}

// The right edge of the size caption stays where the frame ends, so a growing caption
// grows to the left.
constexpr int sizeCaptionRight = 120 + 4215;

} // namespace

fUpgrade::fUpgrade(const Platform &platform, const QString &updateRoot, ProgramStarter *starter,
                   QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_platform(platform), m_starter(starter)
{
    QString root = updateRoot.trimmed();
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    m_updateFolder = root + QStringLiteral("/software/upgrade/tavlo/");
    if (!m_starter) {
        m_ownStarter = std::make_unique<DetachedProgramStarter>();
        m_starter = m_ownStarter.get();
    }

    setWindowTitle(QStringLiteral("Download New Version"));
    setModal(true);
    setFixedSize(px(4470), px(2280));
    paintBackground(this, Qt::white);

    Frame4 = new QGroupBox(QStringLiteral("Progress"), this);
    Frame4->setFont(tahoma(8.25));
    Frame4->setGeometry(px(120), px(240), px(4215), px(612));
    paintBackground(Frame4, Qt::white);

    XP_ProgressBar1 = new XP_ProgressBar(Frame4);
    XP_ProgressBar1->setFont(tahoma(8.25));
    XP_ProgressBar1->setGeometry(px(120), px(240), px(3975), px(255));

    lblFiles = greyLabel(this);
    lblFiles->setText(QStringLiteral("Label1"));
    lblFiles->move(px(120), px(960));
    lblFiles->adjustSize();

    lblSize = greyLabel(this);
    lblSize->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblSize->setText(QStringLiteral("Label2"));
    lblSize->move(px(3855), px(960));
    lblSize->adjustSize();

    lblMessage = new QLabel(QStringLiteral("Click Start to commence the upgrade"), this);
    lblMessage->setFont(tahoma(9));
    QPalette black = lblMessage->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lblMessage->setPalette(black);
    lblMessage->move(px(240), px(1320));
    lblMessage->adjustSize();

    Picture2 = new QWidget(this);
    Picture2->setGeometry(0, px(1665), px(4470), px(2280) - px(1665));
    paintBackground(Picture2, palette().color(QPalette::Button));

    Command1 = new QPushButton(QStringLiteral("&Start"), Picture2);
    Command1->setFont(tahoma(8.25));
    Command1->setGeometry(px(2040), px(120), px(1095), px(375));
    Command2 = new QPushButton(QStringLiteral("&Cancel"), Picture2);
    Command2->setFont(tahoma(8.25));
    Command2->setGeometry(px(3240), px(120), px(1095), px(375));
    setTabOrder(Command1, Command2);
    Command1->setFocus();
    connect(Command1, &QPushButton::clicked, this, &fUpgrade::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &fUpgrade::Command2_Click);

    NetGrab1 = new NetGrab(this);
    connect(NetGrab1, &NetGrab::DownloadFailed, this, &fUpgrade::NetGrab1_DownloadFailed);
    connect(NetGrab1, &NetGrab::DownloadProgress, this, &fUpgrade::NetGrab1_DownloadProgress);

    Form_Load();
}

fUpgrade::~fUpgrade() = default;

void fUpgrade::Form_Load()
{
    XP_ProgressBar1->setMax(100);
    XP_ProgressBar1->setMin(0);
    XP_ProgressBar1->setValue(0);
    XP_ProgressBar1->setColor(RGB(44, 132, 190));
    XP_ProgressBar1->setScrolling(XP_ProgressBar::Smooth);
    lblFiles->setText(QString());
    lblSize->setText(QString());
}

QString fUpgrade::StringDownload(const QString &URL)
{
    downloadFailed = false;
    NetGrab1->DownloadStart(URL, NetGrab::FreshFromServer);
    QPointer<fUpgrade> alive(this);
    while (alive && NetGrab1->Busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (!alive || downloadFailed)
        return QString();
    return decodeSystemText(NetGrab1->Bytes());
}

void fUpgrade::Command1_Click()
{
    if (!Command1->isEnabled())
        return;
    Command1->setEnabled(false);
    lblMessage->hide();

    m_currentFile = QStringLiteral("TAVLO.upg");
    lblFiles->setText(QStringLiteral("1 of 2"));
    lblFiles->adjustSize();
    downloadFailed = false;
    downloadCancelled = false;
    if (!Download(QStringLiteral("TAVLO.exe")) || !DownloadCheck())
        return;

    m_currentFile = QStringLiteral("bootstrap.exe");
    const QString bootstrap = programFile(m_currentFile);
    if (QFileInfo::exists(bootstrap))
        QFile::remove(bootstrap);
    lblFiles->setText(QStringLiteral("2 of 2"));
    lblFiles->adjustSize();
    downloadCancelled = false;
    if (!Download(QStringLiteral("bootstrap.exe")) || !DownloadCheck())
        return;

    // The bootstrap program must not start on a note it cannot read.
    if (!writeTextFileAtomically(programFile(QStringLiteral("target")), {m_platform.programFolder})
             .isEmpty()) {
        Fail(badFileText);
        return;
    }
    // Downloads arrive without the execute permission.
    QFile::setPermissions(bootstrap, QFile::permissions(bootstrap) | QFile::ExeOwner | QFile::ExeUser
                                         | QFile::ExeGroup | QFile::ExeOther);
    if (!m_starter->startDetached(bootstrap, m_platform.programFolder)) {
        // Ending now would leave nothing running to complete the upgrade.
        Fail(badFileText);
        return;
    }
    m_platform.processEnd->endNow(0);
}

bool fUpgrade::Download(const QString &remoteName)
{
    m_saved = false;
    NetGrab1->DownloadStart(m_updateFolder + remoteName, NetGrab::FreshFromServer);
    QPointer<fUpgrade> alive(this);
    while (alive && NetGrab1->Busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (!alive)
        return false;
    if (!downloadFailed)
        m_saved = NetGrab1->SaveAs(programFile(m_currentFile));
    return true;
}

bool fUpgrade::DownloadCheck()
{
    if (downloadCancelled) {
        Fail(cancelledText);
        return false;
    }
    // A failed save leaves no file; the result also guards against an old file that could
    // not be removed passing for the new one.
    if (!m_saved || !QFileInfo::exists(programFile(m_currentFile))) {
        Fail(badFileText);
        return false;
    }
    return true;
}

void fUpgrade::Fail(const QString &text)
{
    QPointer<fUpgrade> alive(this);
    m_platform.messageBox->show(text, MessageBox::Information, appTitle);
    if (alive)
        Unload();
}

void fUpgrade::Unload()
{
    QDialog::done(QDialog::Rejected);
}

void fUpgrade::Command2_Click()
{
    if (Command1->isEnabled()) {
        Unload();
        return;
    }
    NetGrab1->DownloadCancel();
    downloadCancelled = true;
}

void fUpgrade::reject()
{
    Command2_Click();
}

void fUpgrade::NetGrab1_DownloadFailed(qint32, const QString &)
{
    downloadCancelled = true;
    downloadFailed = true;
}

void fUpgrade::NetGrab1_DownloadProgress(qint32 nBytes, qint32 nTotalBytes)
{
    int percent = -1;
    lblSize->setText(sizeCaption(nBytes, nTotalBytes, &percent));
    lblSize->adjustSize();
    lblSize->move(px(sizeCaptionRight) - lblSize->width(), px(960));
    // With no total announced the bar stays where it was.
    if (percent >= 0)
        XP_ProgressBar1->setValue(percent);
}

QString fUpgrade::sizeCaption(qint32 nBytes, qint32 nTotalBytes, int *percent)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    const qint32 kb = nBytes / 1024;
    const QString size = (kb == 0 ? QString() : locale.toString(kb)) + QStringLiteral(" kb");
    if (nTotalBytes <= 0) {
        if (percent)
            *percent = -1;
        return size;
    }
    const double share = std::floor(static_cast<double>(nBytes) / nTotalBytes * 100.0);
    const int whole = static_cast<int>(share < 0 ? 0 : (share > 100 ? 100 : share));
    if (percent)
        *percent = whole;
    return size + QStringLiteral(" - ") + QString::number(whole) + QStringLiteral("%");
}

QString fUpgrade::programFile(const QString &fileName) const
{
    return m_platform.programFolder + QDir::separator() + fileName;
}

} // namespace tavlo
