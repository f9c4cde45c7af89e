#pragma once

#include "platform/MessageBox.h"
#include "platform/Platform.h"
#include "update/SignatureVerifier.h"
#include "update/UpdateSettings.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;

namespace tavlo {

class Downloader;
class ProgramStarter;
class StyledProgressBar;

// The "Download New Version" dialog. Start fetches the new program and the bootstrap program,
// each with its signature, checks both against the update key, saves them into the program
// folder, leaves the note "target", starts the bootstrap program and ends this one. The
// downloads run one after the other on the downloader's signals; nothing waits in a loop.
class UpgradeDialog : public QDialog {
    Q_OBJECT

public:
    // version: the version text offered, which the signatures must name.
    // With no starter given the bootstrap program is started with QProcess.
    UpgradeDialog(const Platform &platform, const UpdateSettings &settings, const QString &version,
                  ProgramStarter *starter = nullptr, QWidget *parent = nullptr);
    ~UpgradeDialog() override;

    QPushButton *startButton() const { return m_startButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    QLabel *filesLabel() const { return m_filesLabel; }
    QLabel *sizeLabel() const { return m_sizeLabel; }
    QLabel *messageLabel() const { return m_messageLabel; }
    StyledProgressBar *progressBar() const { return m_progressBar; }
    Downloader *downloader() const { return m_downloader; }

    // Size caption of a progress report ("1,205 kb - 50%"); percent is -1 when the total is
    // unknown, and the caption then holds the size alone.
    static QString sizeCaption(qint64 bytes, qint64 totalBytes, int *percent = nullptr);

protected:
    // Esc and the frame's close button: Cancel once Start has been pressed.
    void reject() override;

private:
    enum class Step { Waiting, ProgramSignature, Program, BootstrapSignature, Bootstrap, Over };

    void startUpgrade();
    void cancel();
    void fetch(Step step);
    void onCompleted();
    void onFailed();
    void onProgress(qint64 bytes, qint64 totalBytes);
    // Checks the file just received against its signature and saves it; false when it
    // ended the upgrade with a message.
    bool verifyAndSave(const QString &remoteName, const QString &localName);
    void handOver();
    void finish(const QString &text, MessageBox::Icon icon);
    QString programFile(const QString &fileName) const;

    Platform m_platform;
    UpdateSettings m_settings;
    QString m_version;
    SignatureVerifier m_verifier;
    std::unique_ptr<ProgramStarter> m_ownStarter;
    ProgramStarter *m_starter;

    QGroupBox *m_progressFrame;
    StyledProgressBar *m_progressBar;
    QLabel *m_filesLabel;
    QLabel *m_sizeLabel;
    QLabel *m_messageLabel;
    QWidget *m_buttonStrip;
    QPushButton *m_startButton;
    QPushButton *m_cancelButton;
    Downloader *m_downloader;

    Step m_step = Step::Waiting;
    bool m_cancelled = false;
    QByteArray m_signature; // of the file being fetched
};

} // namespace tavlo
