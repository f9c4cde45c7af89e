#pragma once

#include "base/Settings.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tavlo {

// The console's settings, as TAVLO.ini holds them, in a form: the database (a file, or a
// PostgreSQL server with a connection test), the display folder, the board's layout, the
// window's start and the floor's call rules. Save stays off while a value is invalid, and a line under the form says why.
class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    // Tries a DataBase setting: empty when it can be used, else what is wrong in plain words.
    using ConnectionTest = std::function<QString(const QString &databaseSetting)>;
    // Rows per list the board can show.
    static constexpr int MinRows = 1;
    static constexpr int MaxRows = 100;
    // Minutes a called player may take to come.
    static constexpr int MinCallMinutes = 1;
    static constexpr int MaxCallMinutes = 60;

    SettingsWindow(const Settings &settings, const QString &programFolder, ConnectionTest test,
                   QWidget *parent = nullptr);

    // The values of the form, the display folder ending with a separator.
    Settings settings() const;
    // Why the form cannot be saved; empty when it can.
    QString problem() const;

private:
    void buildForm();
    void check();
    void testConnection();
    QString databaseSetting() const;

    Settings m_initial;
    QString m_programFolder;
    ConnectionTest m_test;
    QRadioButton *m_fileChoice = nullptr;
    QRadioButton *m_serverChoice = nullptr;
    QLineEdit *m_databaseFile = nullptr;
    QPushButton *m_browseDatabase = nullptr;
    QLineEdit *m_server = nullptr;
    QPushButton *m_testButton = nullptr;
    QLabel *m_testResult = nullptr;
    QLineEdit *m_displayFolder = nullptr;
    QPushButton *m_browseFolder = nullptr;
    QSpinBox *m_firstRowRows = nullptr;
    QSpinBox *m_secondRowRows = nullptr;
    QSpinBox *m_listWidth = nullptr;
    QCheckBox *m_startMaximized = nullptr;
    QSpinBox *m_callMinutes = nullptr;
    QCheckBox *m_removeNoShows = nullptr;
    QComboBox *m_language = nullptr; // its items' data: the Language line, empty for the system's
    QLabel *m_problem = nullptr;
    QPushButton *m_saveButton = nullptr;
};

} // namespace tavlo
