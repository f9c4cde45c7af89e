#pragma once

#include "display/ViewerOptions.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tavlo::display {

// The viewer's settings file in a form, for a room that sets up its screen with a keyboard:
// Save writes the file and stays off while a value is invalid, a line under the form saying why.
class ViewerSettingsWindow : public QDialog {
    Q_OBJECT
public:
    ViewerSettingsWindow(const QString &settingsPath, QWidget *parent = nullptr);

    QString settingsPath() const { return m_path; }
    // The values of the form.
    ViewerOptions options() const;
    // Why the form cannot be saved; empty when it can.
    QString problem() const;

signals:
    // The file holds these options now.
    void saved(const tavlo::display::ViewerOptions &options);

private:
    void buildForm();
    void check();
    void save();

    QString m_path;
    ViewerOptions m_initial;
    QLineEdit *m_displayFolder = nullptr;
    QComboBox *m_screen = nullptr;
    QLineEdit *m_games = nullptr;
    QSpinBox *m_pageSeconds = nullptr;
    QComboBox *m_theme = nullptr;
    QCheckBox *m_privacy = nullptr;
    QCheckBox *m_estimates = nullptr;
    QCheckBox *m_phones = nullptr;
    QSpinBox *m_webPort = nullptr;
    QLineEdit *m_webAddress = nullptr;
    QCheckBox *m_webFullNames = nullptr;
    QLabel *m_problem = nullptr;
    QPushButton *m_saveButton = nullptr;
};

} // namespace tavlo::display
