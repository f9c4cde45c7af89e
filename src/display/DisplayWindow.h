#pragma once

#include <QString>
#include <QWidget>

namespace tavlo::display {

class BoardView;
class FragmentWatcher;

// The large screen: the board of the display folder's fragment, following its changes.
// F11 or Esc leaves and re-enters full screen; Ctrl+Q ends the program.
class DisplayWindow : public QWidget {
    Q_OBJECT
public:
    // An empty `displayFolder` means the one the program folder's settings name.
    explicit DisplayWindow(const QString &programFolder, const QString &displayFolder = {},
                           QWidget *parent = nullptr);

    QString displayFolder() const { return m_displayFolder; }
    BoardView *view() const { return m_view; }
    FragmentWatcher *watcher() const { return m_watcher; }

    // Shows the fragment as it is now and starts following it.
    void start();
    void enterFullScreen();
    void toggleFullScreen();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showFragment(const QString &text);
    void loadBackground();

    QString m_programFolder;
    QString m_displayFolder;
    BoardView *m_view = nullptr;
    FragmentWatcher *m_watcher = nullptr;
};

} // namespace tavlo::display
