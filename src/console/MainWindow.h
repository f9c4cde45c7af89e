#pragma once

#include <QPointer>
#include <QWidget>

class QAction;
class QIcon;
class QLabel;

namespace tavlo {

class Clock;
class LinkLabel;
class ListPanel;
class MessageBox;
class OutlineShape;
class ProportionalScaler;
class Room;
class WaitEstimates;

// The console's window: the games panel on the left, the players panel on the right, the
// title and notices around them, everything scaling with the window.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(Room &room, MessageBox &messages, const Clock &clock, const WaitEstimates &estimates, QWidget *parent = nullptr);
    ~MainWindow() override;

    ListPanel *gamesPanel() const { return m_gamesPanel; }
    ListPanel *playersPanel() const { return m_playersPanel; }
    QLabel *versionLabel() const { return m_versionLabel; }
    LinkLabel *vendorLink() const { return m_vendorLink; }

    // The room as the window opens: the first game selected and its players shown.
    void showRoom();
    // On the run that created the settings file, the welcome message greets every activation.
    void setFirstRun(bool firstRun) { m_firstRun = firstRun; }

    static QString welcomeText();
    // The window's icon: a font of its own, so it is set after the first picture, which lacks it.
    static QIcon icon();

    QAction *undoAction() const { return m_undoAction; }
    QAction *redoAction() const { return m_redoAction; }
    // Ctrl+R and both lists' context menus: the shift reports.
    QAction *reportsAction() const { return m_reportsAction; }
    // Ctrl+, and both lists' context menus: the settings window.
    QAction *settingsAction() const { return m_settingsAction; }

public slots:
    // Undoes (redoes) the room's last change and shows what it was about.
    void undo();
    void redo();
signals:
    // The window is closing; its settings are to be kept.
    void closing();
    // The operator asks for the reports window.
    void reportsRequested();
    // The operator asks for the settings window.
    void settingsRequested();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout(const Clock &clock, const WaitEstimates &estimates);
    QLabel *addLabel(const QString &name, const QString &text, int left, int top, int width, int height);
    void greet();
    void buildCommands();
    void updateHistoryCommands();
    void updateHistoryTexts();
    void showChangedEntry(qint64 gameId, qint64 playerId);

    Room &m_room;
    MessageBox &m_messages;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QAction *m_reportsAction = nullptr;
    QAction *m_settingsAction = nullptr;
    bool m_historyTextsDue = false; // the Undo and Redo texts are set after the command
    ListPanel *m_gamesPanel = nullptr;
    ListPanel *m_playersPanel = nullptr;
    QLabel *m_versionLabel = nullptr;
    LinkLabel *m_vendorLink = nullptr;
    ProportionalScaler *m_scaler = nullptr;
    bool m_firstRun = false;
    bool m_activatedOnce = false;
    bool m_closed = false;
    QPointer<QWidget> m_activeElsewhere;
};

} // namespace tavlo
