#include "display/ViewerSettingsWindow.h"

#include "board/GameFilter.h"
#include "components/AccessibleNaming.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tavlo::display {

ViewerSettingsWindow::ViewerSettingsWindow(const QString &settingsPath, QWidget *parent)
    : QDialog(parent)
    , m_path(settingsPath)
    , m_initial(readViewerSettings(settingsPath))
{
    setObjectName(QStringLiteral("viewerSettingsWindow"));
    setWindowTitle(tr("TAVLO-Display Settings"));
    // The large screen hides the pointer; a form needs it.
    setCursor(Qt::ArrowCursor);
    buildForm();

    m_displayFolder->setText(m_initial.displayFolder);
    m_screen->setCurrentText(m_initial.screen);
    m_games->setText(m_initial.games.join(QStringLiteral(", ")));
    m_pageSeconds->setValue(m_initial.pageSeconds);
    m_theme->setCurrentIndex(m_initial.theme == ViewerTheme::Kind::HighContrast ? 1 : 0);
    m_privacy->setChecked(m_initial.privacy);
    m_estimates->setChecked(m_initial.estimates);
    m_phones->setChecked(m_initial.webEnabled());
    m_webPort->setValue(m_initial.webEnabled() ? m_initial.webPort : 8080);
    m_webAddress->setText(m_initial.webAddress);
    m_webFullNames->setChecked(m_initial.webFullNames);
    check();
}

void ViewerSettingsWindow::buildForm()
{
    m_displayFolder = named(new QLineEdit, QStringLiteral("displayFolderEdit"), tr("Display folder"),
                            tr("The folder the console writes the board to; empty: the one TAVLO.ini names."));
    m_displayFolder->setPlaceholderText(tr("the folder TAVLO.ini names"));
    auto *browse = named(new QPushButton(tr("Browse\u2026")), QStringLiteral("browseFolderButton"), tr("Choose the display folder"));
    m_screen = named(new QComboBox, QStringLiteral("screenCombo"), tr("Screen"),
                     tr("The screen to fill: its number counting from 1, or its name; empty: the primary screen."));
    m_screen->setEditable(true);
    m_screen->addItem(QString());
    for (const QScreen *screen : QGuiApplication::screens())
        m_screen->addItem(screen->name());
    m_games = named(new QLineEdit, QStringLiteral("gamesEdit"), tr("Games"),
                    tr("The games this screen shows: names separated by commas, * for any text; empty: all."));
    m_games->setPlaceholderText(tr("all games"));
    m_pageSeconds = named(new QSpinBox, QStringLiteral("pageSecondsSpin"), tr("Seconds per page"),
                          tr("How long each page of a long list stays on the screen."));
    m_pageSeconds->setRange(ViewerOptions::kMinPageSeconds, ViewerOptions::kMaxPageSeconds);
    m_pageSeconds->setSuffix(tr(" s"));
    m_theme = named(new QComboBox, QStringLiteral("themeCombo"), tr("Theme"));
    m_theme->addItem(tr("Standard"), ViewerTheme::nameOf(ViewerTheme::Kind::Standard));
    m_theme->addItem(tr("High contrast"), ViewerTheme::nameOf(ViewerTheme::Kind::HighContrast));
    m_privacy = named(new QCheckBox(tr("&Privacy: first names and initials")), QStringLiteral("privacyCheck"), tr("Privacy"),
                      tr("Shows \"Alice B.\" instead of the names as typed."));
    m_estimates = named(new QCheckBox(tr("Show wait &estimates")), QStringLiteral("estimatesCheck"), tr("Wait estimates"),
                        tr("Shows each game's wait estimate under its title."));
    m_phones = named(new QCheckBox(tr("Serve the board to p&hones")), QStringLiteral("phonesCheck"), tr("Phones' page"),
                     tr("Serves the board to phones on the room's network; a change applies at the next start."));
    m_webPort = named(new QSpinBox, QStringLiteral("webPortSpin"), tr("Phones' port"), tr("0 lets the system pick a free port."));
    m_webPort->setRange(0, 65535);
    m_webAddress = named(new QLineEdit, QStringLiteral("webAddressEdit"), tr("Phones' address"),
                         tr("The IP address of this machine to serve on; empty: all of them."));
    m_webFullNames = named(new QCheckBox(tr("Full names on the phones")), QStringLiteral("webFullNamesCheck"),
                           tr("Full names on the phones"));
    auto *restartNote = new QLabel(tr("The phones' settings apply when TAVLO-Display starts again."));
    restartNote->setWordWrap(true);
    m_problem = named(new QLabel, QStringLiteral("problemLabel"), tr("Why the settings cannot be saved"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #a00000"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    m_saveButton = named(buttons->button(QDialogButtonBox::Save), QStringLiteral("saveButton"), tr("Save"),
                         tr("Writes %1 and applies the settings.").arg(QFileInfo(m_path).fileName()));
    named(buttons->button(QDialogButtonBox::Cancel), QStringLiteral("cancelButton"), tr("Cancel"));

    auto *folderRow = new QWidget;
    auto *folderLayout = new QHBoxLayout(folderRow);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    folderLayout->addWidget(m_displayFolder, 1);
    folderLayout->addWidget(browse);

    auto *form = new QFormLayout;
    const auto add = [form](const QString &label, QWidget *field, QWidget *focus) {
        auto *caption = new QLabel(label);
        caption->setBuddy(focus);
        form->addRow(caption, field);
    };
    add(tr("&Display folder:"), folderRow, m_displayFolder);
    add(tr("&Screen:"), m_screen, m_screen);
    add(tr("&Games:"), m_games, m_games);
    add(tr("Seconds per p&age:"), m_pageSeconds, m_pageSeconds);
    add(tr("&Theme:"), m_theme, m_theme);
    form->addRow(QString(), m_privacy);
    form->addRow(QString(), m_estimates);
    form->addRow(QString(), m_phones);
    add(tr("Phones' p&ort:"), m_webPort, m_webPort);
    add(tr("Phones' add&ress:"), m_webAddress, m_webAddress);
    form->addRow(QString(), m_webFullNames);
    form->addRow(QString(), restartNote);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());

    connect(buttons, &QDialogButtonBox::accepted, this, &ViewerSettingsWindow::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Display folder"), m_displayFolder->text());
        if (!folder.isEmpty())
            m_displayFolder->setText(QDir::toNativeSeparators(folder) + QDir::separator());
    });
    for (QLineEdit *edit : {m_displayFolder, m_games, m_webAddress})
        connect(edit, &QLineEdit::textChanged, this, &ViewerSettingsWindow::check);
    connect(m_phones, &QCheckBox::toggled, this, &ViewerSettingsWindow::check);
}

ViewerOptions ViewerSettingsWindow::options() const
{
    ViewerOptions chosen = m_initial;
    const QString folder = m_displayFolder->text().trimmed();
    chosen.displayFolder = folder.isEmpty() || folder.endsWith(QDir::separator()) || folder.endsWith(u'/')
            ? folder
            : folder + QDir::separator();
    chosen.screen = m_screen->currentText().trimmed();
    chosen.games = GameFilter::read(m_games->text()).value_or(QStringList());
    chosen.pageSeconds = m_pageSeconds->value();
    ViewerTheme::kindOf(m_theme->currentData().toString(), chosen.theme);
    chosen.privacy = m_privacy->isChecked();
    chosen.estimates = m_estimates->isChecked();
    chosen.webPort = m_phones->isChecked() ? m_webPort->value() : -1;
    chosen.webAddress = m_webAddress->text().trimmed();
    chosen.webFullNames = m_webFullNames->isChecked();
    return chosen;
}

QString ViewerSettingsWindow::problem() const
{
    const QString folder = m_displayFolder->text().trimmed();
    if (!folder.isEmpty() && !QFileInfo(folder).isDir())
        return tr("There is no folder %1.").arg(folder);
    if (!GameFilter::read(m_games->text()))
        return tr("The games are names or patterns separated by commas.");
    const QString address = m_webAddress->text().trimmed();
    if (!address.isEmpty() && QHostAddress(address).isNull())
        return tr("The phones' address is an IP address of this machine, such as 192.168.1.20.");
    return {};
}

void ViewerSettingsWindow::check()
{
    for (QWidget *phoneField : std::initializer_list<QWidget *>{m_webPort, m_webAddress, m_webFullNames})
        phoneField->setEnabled(m_phones->isChecked());
    const QString why = problem();
    m_problem->setText(why);
    m_problem->setAccessibleDescription(why);
    m_saveButton->setEnabled(why.isEmpty());
}

void ViewerSettingsWindow::save()
{
    if (!problem().isEmpty())
        return;
    const ViewerOptions chosen = options();
    if (const QString failure = saveViewerSettings(m_path, chosen); !failure.isEmpty()) {
        m_problem->setText(tr("Cannot write %1: %2").arg(m_path, failure));
        return;
    }
    emit saved(chosen);
    accept();
}

} // namespace tavlo::display
