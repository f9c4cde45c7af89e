#include "update/UpgradeDialog.h"

#include "base/LeadingNumber.h"
#include "base/TextFile.h"
#include "components/StyledProgressBar.h"
#include "platform/MessageBox.h"
#include "platform/ProcessEnd.h"
#include "update/Downloader.h"
#include "update/ProgramStarter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include <cmath>

namespace tavlo {

namespace {

const QString appTitle = QStringLiteral("TAVLO");

// Nobody cancelled a download the size limit stopped.
QString tooLargeText(qint64 limit)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return UpgradeDialog::tr("Download failed: the file is larger than %1 kb.\r\n\r\nUpgrade to new version was not completed.")
            .arg(locale.toString(limit / 1024));
}

const QString programRemote = QStringLiteral("TAVLO.exe");
const QString programLocal = QStringLiteral("TAVLO.upg");
const QString bootstrapName = QStringLiteral("bootstrap.exe");

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

UpgradeDialog::UpgradeDialog(const Platform &platform, const UpdateSettings &settings, const QString &version,
                             ProgramStarter *starter, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      m_platform(platform), m_settings(settings), m_version(version),
      m_verifier(SignatureVerifier::fromText(settings.publicKey)), m_starter(starter)
{
    if (!m_starter) {
        m_ownStarter = std::make_unique<DetachedProgramStarter>();
        m_starter = m_ownStarter.get();
    }

    setWindowTitle(tr("Download New Version"));
    setModal(true);
    setFixedSize(px(4470), px(2280));
    paintBackground(this, Qt::white);

    m_progressFrame = new QGroupBox(tr("Progress"), this);
    m_progressFrame->setFont(tahoma(8.25));
    m_progressFrame->setGeometry(px(120), px(240), px(4215), px(612));
    paintBackground(m_progressFrame, Qt::white);

    m_progressBar = new StyledProgressBar(m_progressFrame);
    m_progressBar->setFont(tahoma(8.25));
    m_progressBar->setGeometry(px(120), px(240), px(3975), px(255));

    m_filesLabel = greyLabel(this);
    m_filesLabel->move(px(120), px(960));
    m_sizeLabel = greyLabel(this);
    m_sizeLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_sizeLabel->move(px(3855), px(960));

    m_messageLabel = new QLabel(tr("Click Start to commence the upgrade"), this);
    m_messageLabel->setFont(tahoma(9));
    QPalette black = m_messageLabel->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    m_messageLabel->setPalette(black);
    m_messageLabel->move(px(240), px(1320));
    m_messageLabel->adjustSize();

    m_buttonStrip = new QWidget(this);
    m_buttonStrip->setGeometry(0, px(1665), px(4470), px(2280) - px(1665));
    paintBackground(m_buttonStrip, palette().color(QPalette::Button));

    m_startButton = new QPushButton(tr("&Start"), m_buttonStrip);
    m_startButton->setFont(tahoma(8.25));
    m_startButton->setGeometry(px(2040), px(120), px(1095), px(375));
    m_cancelButton = new QPushButton(tr("&Cancel"), m_buttonStrip);
    m_cancelButton->setFont(tahoma(8.25));
    m_cancelButton->setGeometry(px(3240), px(120), px(1095), px(375));
    setTabOrder(m_startButton, m_cancelButton);
    m_progressBar->setAccessibleName(tr("Download progress"));
    m_filesLabel->setAccessibleName(tr("Files"));
    m_sizeLabel->setAccessibleName(tr("Size"));
    m_messageLabel->setAccessibleName(tr("Status"));
    m_startButton->setAccessibleDescription(tr("Downloads the new version, checks its signature and starts its installer."));
    m_cancelButton->setAccessibleDescription(tr("Stops the download, or closes this window."));
    m_startButton->setFocus();
    connect(m_startButton, &QPushButton::clicked, this, &UpgradeDialog::startUpgrade);
    connect(m_cancelButton, &QPushButton::clicked, this, &UpgradeDialog::cancel);

    m_downloader = new Downloader(this);
    m_downloader->setDeadline(m_settings.deadline);
    m_downloader->setStallTimeout(m_settings.stallTimeout);
    connect(m_downloader, &Downloader::completed, this, &UpgradeDialog::onCompleted);
    connect(m_downloader, &Downloader::failed, this, &UpgradeDialog::onFailed);
    connect(m_downloader, &Downloader::progress, this, &UpgradeDialog::onProgress);

    m_progressBar->setMax(100);
    m_progressBar->setMin(0);
    m_progressBar->setValue(0);
    m_progressBar->setColor(QColor(44, 132, 190));
    m_progressBar->setScrolling(StyledProgressBar::Smooth);
}

UpgradeDialog::~UpgradeDialog() = default;

void UpgradeDialog::startUpgrade()
{
    if (m_step != Step::Waiting)
        return;
    m_startButton->setEnabled(false);
    m_messageLabel->hide();
    m_filesLabel->setText(tr("1 of 2"));
    m_filesLabel->adjustSize();
    m_cancelled = false;
    // The small signature first: without one the large file is not worth fetching.
    fetch(Step::ProgramSignature);
}

void UpgradeDialog::fetch(Step step)
{
    m_step = step;
    const bool signature = step == Step::ProgramSignature || step == Step::BootstrapSignature;
    const QString remote = step == Step::ProgramSignature || step == Step::Program ? programRemote : bootstrapName;
    m_downloader->setSizeLimit(signature ? UpdateSettings::signatureFileLimit : m_settings.sizeLimit);
    m_downloader->start(m_settings.updateFolder() + remote + (signature ? QStringLiteral(".minisig") : QString()),
                        Downloader::FreshFromServer);
}

void UpgradeDialog::onCompleted()
{
    switch (m_step) {
    case Step::ProgramSignature:
        m_signature = m_downloader->data();
        fetch(Step::Program);
        return;
    case Step::Program: {
        if (!verifyAndSave(programRemote, programLocal))
            return;
        // The old bootstrap program must not be started in place of the new one.
        const QString bootstrap = programFile(bootstrapName);
        if (QFileInfo::exists(bootstrap))
            QFile::remove(bootstrap);
        m_filesLabel->setText(tr("2 of 2"));
        m_filesLabel->adjustSize();
        fetch(Step::BootstrapSignature);
        return;
    }
    case Step::BootstrapSignature:
        m_signature = m_downloader->data();
        fetch(Step::Bootstrap);
        return;
    case Step::Bootstrap:
        if (verifyAndSave(bootstrapName, bootstrapName))
            handOver();
        return;
    case Step::Waiting:
    case Step::Over:
        return;
    }
}

void UpgradeDialog::onFailed()
{
    if (m_step == Step::Waiting || m_step == Step::Over)
        return;
    // A signature that cannot be had is a download that cannot be verified.
    const bool signature = m_step == Step::ProgramSignature || m_step == Step::BootstrapSignature;
    if (signature && !m_cancelled)
        finish(tr("New version file could not be verified!\r\nUpgrade was not completed, please try again later."), MessageBox::Icon::Warning);
    else if (m_downloader->wasTooLarge() && !m_cancelled)
        finish(tooLargeText(m_settings.sizeLimit), MessageBox::Icon::Information);
    else
        finish(tr("Download cancelled!\r\n\r\nUpgrade to new version was not completed."), MessageBox::Icon::Information);
}

bool UpgradeDialog::verifyAndSave(const QString &remoteName, const QString &localName)
{
    const QString reason = m_verifier.verify(m_downloader->data(), m_signature, remoteName, m_version);
    if (!reason.isEmpty()) {
        finish(tr("New version file could not be verified!\r\nUpgrade was not completed, please try again later."), MessageBox::Icon::Warning);
        return false;
    }
    if (!m_downloader->saveAs(programFile(localName)) || !QFileInfo::exists(programFile(localName))) {
        finish(tr("New version file did not download correctly!\r\nUpgrade was not completed, please try again later."), MessageBox::Icon::Information);
        return false;
    }
    return true;
}

void UpgradeDialog::handOver()
{
    m_step = Step::Over;
    const QString bootstrap = programFile(bootstrapName);
    // The bootstrap program must not start on a note it cannot read.
    if (!writeTextFileAtomically(programFile(QStringLiteral("target")), {m_platform.programFolder}).isEmpty()) {
        finish(tr("New version file did not download correctly!\r\nUpgrade was not completed, please try again later."), MessageBox::Icon::Information);
        return;
    }
    // Downloads arrive without the execute permission.
    QFile::setPermissions(bootstrap, QFile::permissions(bootstrap) | QFile::ExeOwner | QFile::ExeUser
                                         | QFile::ExeGroup | QFile::ExeOther);
    if (!m_starter->startDetached(bootstrap, m_platform.programFolder)) {
        // Ending now would leave nothing running to complete the upgrade.
        finish(tr("New version file did not download correctly!\r\nUpgrade was not completed, please try again later."), MessageBox::Icon::Information);
        return;
    }
    m_platform.processEnd->endNow(0);
}

void UpgradeDialog::finish(const QString &text, MessageBox::Icon icon)
{
    m_step = Step::Over;
    m_platform.messageBox->tell(text, icon, appTitle);
    done(QDialog::Rejected);
}

void UpgradeDialog::cancel()
{
    switch (m_step) {
    case Step::Waiting:
        done(QDialog::Rejected);
        return;
    case Step::Over:
        return;
    default:
        break;
    }
    m_cancelled = true;
    if (m_downloader->isBusy())
        m_downloader->cancel(); // its end arrives as a failure and tells the user
    else
        finish(tr("Download cancelled!\r\n\r\nUpgrade to new version was not completed."), MessageBox::Icon::Information);
}

void UpgradeDialog::reject()
{
    cancel();
}

void UpgradeDialog::onProgress(qint64 bytes, qint64 totalBytes)
{
    if (m_step != Step::Program && m_step != Step::Bootstrap)
        return; // a signature's few bytes are not the file's progress
    int percent = -1;
    m_sizeLabel->setText(sizeCaption(bytes, totalBytes, &percent));
    m_sizeLabel->adjustSize();
    m_sizeLabel->move(px(sizeCaptionRight) - m_sizeLabel->width(), px(960));
    // With no total announced the bar stays where it was.
    if (percent >= 0)
        m_progressBar->setValue(percent);
}

QString UpgradeDialog::sizeCaption(qint64 bytes, qint64 totalBytes, int *percent)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    const qint64 kb = bytes / 1024;
    const QString size = (kb == 0 ? QString() : locale.toString(kb)) + QStringLiteral(" kb");
    if (totalBytes <= 0) {
        if (percent)
            *percent = -1;
        return size;
    }
    const double share = std::floor(static_cast<double>(bytes) / static_cast<double>(totalBytes) * 100.0);
    const int whole = static_cast<int>(share < 0 ? 0 : (share > 100 ? 100 : share));
    if (percent)
        *percent = whole;
    return size + QStringLiteral(" - ") + QString::number(whole) + QStringLiteral("%");
}

QString UpgradeDialog::programFile(const QString &fileName) const
{
    return m_platform.programFolder + QDir::separator() + fileName;
}

} // namespace tavlo
