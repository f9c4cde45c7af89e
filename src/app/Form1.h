#pragma once

#include "core/WindowState.h"

#include <QPointer>
#include <QWidget>

class QLabel;

namespace tavlo {

struct Platform;
class GamesPanel;
class PlayersPanel;
class OutlineShape;
class AutoSizer;
class HotLabel;

// The main window: the layout, the window state and its lifecycle.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(const Platform &platform, QWidget *parent = nullptr);
    ~Form1() override;

    WindowState &state() { return m_state; }
    const Platform &platform() const { return m_platform; }

    // Each returns false when it ended the program; the caller must stop then.
    bool Form_Load();
    bool CheckFiles();
    bool Form_Unload();
    void Form_Activate();

    GamesPanel *Frame1;
    PlayersPanel *Frame2;
    QLabel *lblVer;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    OutlineShape *Shape1;
    OutlineShape *Shape2;
    AutoSizer *AutoSizer1;
    HotLabel *HotLabel1;

    static QString welcomeText();
    static QString versionText();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    QLabel *addLabel(const QString &name, const QString &text, int left, int top, int width, int height);

    WindowState m_state;
    const Platform &m_platform;
    bool m_activatedOnce = false;
    bool m_unloaded = false;
    QPointer<QWidget> m_activeElsewhere;
};

} // namespace tavlo
