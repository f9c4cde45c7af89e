#pragma once

#include "platform/Platform.h"
#include "update/UpdateSettings.h"
#include "update/UpgradeDialog.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace tavlo {

class ProgramStarter;
class UpdateCheck;

// The update at start-up, on the application's own event loop: checks for a new version
// once the main window is shown, asks the user, and shows the upgrade window. Closing the
// main window ends the check at once, so the program can end.
class UpdateFlow : public QObject {
    Q_OBJECT

public:
    UpdateFlow(const Platform &platform, QWidget &mainWindow, const UpdateSettings &settings,
               ProgramStarter *starter = nullptr);
    ~UpdateFlow() override;

    // Starts the check; false when none runs (a build without an update key).
    bool start();

    UpdateCheck *check() const { return m_check; }
    UpgradeDialog *dialog() const { return m_dialog; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ask(const QString &version);

    Platform m_platform;
    QPointer<QWidget> m_mainWindow;
    UpdateSettings m_settings;
    ProgramStarter *m_starter;
    UpdateCheck *m_check;
    QPointer<UpgradeDialog> m_dialog;
};

// The start-up's call when the machine is online. The flow lives as long as the main window;
// nullptr when no check runs.
UpdateFlow *startUpdateFlow(const Platform &platform, QWidget &mainWindow,
                            const UpdateSettings &settings = UpdateSettings::builtIn(),
                            ProgramStarter *starter = nullptr);

} // namespace tavlo
