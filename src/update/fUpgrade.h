#pragma once

#include "platform/Platform.h"

#include <QDialog>
#include <QString>

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;

namespace tavlo {

class NetGrab;
class ProgramStarter;
class XP_ProgressBar;

// The "Download New Version" dialog. Start fetches the new program and the bootstrap program
// into the program folder, leaves the note "target", starts the bootstrap program and ends
// this one. It holds the program's only downloader, so the version check borrows it through
// StringDownload without showing the window.
class fUpgrade : public QDialog {
    Q_OBJECT

public:
    // updateRoot is the HTTP(S) root of the update server, e.g. "https://host".
    // With no starter given the bootstrap program is started with QProcess.
    fUpgrade(const Platform &platform, const QString &updateRoot, ProgramStarter *starter = nullptr,
             QWidget *parent = nullptr);
    ~fUpgrade() override;

    // The body of the address as text in the system encoding, or "" when the transfer failed.
    // Keeps the user interface alive while it waits.
    QString StringDownload(const QString &URL);

    // The update folder: the root followed by "/software/upgrade/tavlo/".
    QString updateFolder() const { return m_updateFolder; }

    // Size caption of a progress report ("1,205 kb - 50%"); percent is -1 when the total is
    // unknown, and the caption then holds the size alone.
    static QString sizeCaption(qint32 nBytes, qint32 nTotalBytes, int *percent = nullptr);

    void Command1_Click();
    void Command2_Click();

    // The controls, reachable by their names as on the form.
    QGroupBox *Frame4;
    XP_ProgressBar *XP_ProgressBar1;
    QLabel *lblFiles;
    QLabel *lblSize;
    QLabel *lblMessage;
    QWidget *Picture2;
    QPushButton *Command1;
    QPushButton *Command2;
    NetGrab *NetGrab1;

protected:
    // Esc and the frame's close button: Cancel once Start has been pressed.
    void reject() override;

private:
    void Form_Load();
    void NetGrab1_DownloadFailed(qint32 ErrNum, const QString &ErrDesc);
    void NetGrab1_DownloadProgress(qint32 nBytes, qint32 nTotalBytes);

    // Starts the download of one file of the update folder, waits for it and saves it.
    // False when the window went away while waiting.
    bool Download(const QString &remoteName);
    // The check after each download; false when it ended the Start handler.
    bool DownloadCheck();
    void Unload();
    void Fail(const QString &text);
    QString programFile(const QString &fileName) const;

    Platform m_platform;
    QString m_updateFolder;
    std::unique_ptr<ProgramStarter> m_ownStarter;
    ProgramStarter *m_starter;

    QString m_currentFile;
    bool m_saved = false;
    bool downloadCancelled = false;
    bool downloadFailed = false;
};

} // namespace tavlo
