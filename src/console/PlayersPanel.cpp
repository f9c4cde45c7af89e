#include "console/PlayersPanel.h"

#include "console/ConsoleLook.h"
#include "console/GuardedClick.h"
#include "console/ListBox.h"
#include "core/DbTask.h"
#include "core/DisplayWriter.h"
#include "platform/MessageBox.h"
#include "platform/Platform.h"
#include "core/PlayerMarkers.h"
#include "core/StoreFailure.h"
#include "base/TextFile.h"
#include "console/Twips.h"
#include "core/WindowState.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tavlo {

namespace {

const QString Caption = QStringLiteral("TAVLO");

} // namespace

PlayersPanel::PlayersPanel(WindowState &state, const Platform &platform, QWidget *parent)
    : QFrame(parent), m_state(state), m_platform(platform)
{
    setObjectName(QStringLiteral("Frame2"));
    setFrameShape(QFrame::Box);
    setBackground(this, bgrColor(0xFFFFFF));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsRect(240, 450, 4815, 375));
    Label1->setFont(consoleFont(12, true));
    setBackground(Label1, bgrColor(0x404040));
    setForeground(Label1, bgrColor(0xFFFFFF));

    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setGeometry(twipsRect(240, 840, 4815, 5730));
    List2->setFont(consoleFont(12));
    List2->setSelectionMode(QAbstractItemView::SingleSelection);

    Picture2 = new QWidget(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(twipsRect(4800, 840, 1335, 7095));
    setBackground(Picture2, bgrColor(0xFFFFFF));

    cmdPlayersUp = symbolButton(Picture2, QStringLiteral("cmdPlayersUp"), QStringLiteral("\u25B2"), 9.75, false,
                                QStringLiteral("Move player up"), 0, 480);
    cmdPlayersDown = symbolButton(Picture2, QStringLiteral("cmdPlayersDown"), QStringLiteral("\u25BC"), 9.75, false,
                                  QStringLiteral("Move player down"), 480, 480);
    cmdPlayersTop = symbolButton(Picture2, QStringLiteral("cmdPlayersTop"), QStringLiteral("\u21C8"), 9.75, false,
                                 QStringLiteral("Move player to top"), 960, 480);
    cmdPlayersBlink = symbolButton(Picture2, QStringLiteral("cmdPlayersBlink"), QStringLiteral("\u263A"), 14.25, false,
                                   QStringLiteral("Blink ON/OFF"), 2280, 480);
    cmdPlayersStar = symbolButton(Picture2, QStringLiteral("cmdPlayersStar"), QStringLiteral("\u2605"), 12, false,
                                  QStringLiteral("Star symbol ON/OFF"), 2760, 480);
    cmdPlayersPhone = symbolButton(Picture2, QStringLiteral("cmdPlayersPhone"), QStringLiteral("\u260E"), 12, false,
                                   QStringLiteral("Phone symbol ON/OFF"), 3240, 480);
    cmdPlayersDelete = symbolButton(Picture2, QStringLiteral("cmdPlayersDelete"), QStringLiteral("\u2716"), 11.25,
                                    false, QStringLiteral("Delete player"), 4560, 480);
    cmdPlayersClear = symbolButton(Picture2, QStringLiteral("cmdPlayersClear"), QStringLiteral("\u2612"), 12, true,
                                   QStringLiteral("Delete ALL players"), 5040, 480);
    cmdPlayersAdd = symbolButton(Picture2, QStringLiteral("cmdPlayersAdd"), QStringLiteral("\u271A"), 11.25, false,
                                 QStringLiteral("Add new player"), 6000, 480);
    cmdPlayersOk = symbolButton(Picture2, QStringLiteral("cmdPlayersOk"), QStringLiteral("\u2714"), 12, true,
                                QStringLiteral("Save player"), 6480, 480);

    txtPlayers = new QLineEdit(this);
    txtPlayers->setObjectName(QStringLiteral("txtPlayers"));
    txtPlayers->setGeometry(twipsRect(240, 7320, 4815, 375));
    txtPlayers->setFont(consoleFont(12));
    setBackground(txtPlayers, bgrColor(0xC0FFFF));

    // The list sits above the button strip where the two overlap.
    Picture2->lower();

    connectGuarded(cmdPlayersUp, this, &PlayersPanel::cmdPlayersUp_Click, m_state, m_platform);
    connectGuarded(cmdPlayersDown, this, &PlayersPanel::cmdPlayersDown_Click, m_state, m_platform);
    connectGuarded(cmdPlayersTop, this, &PlayersPanel::cmdPlayersTop_Click, m_state, m_platform);
    connectGuarded(cmdPlayersBlink, this, &PlayersPanel::cmdPlayersBlink_Click, m_state, m_platform);
    connectGuarded(cmdPlayersStar, this, &PlayersPanel::cmdPlayersStar_Click, m_state, m_platform);
    connectGuarded(cmdPlayersPhone, this, &PlayersPanel::cmdPlayersPhone_Click, m_state, m_platform);
    connectGuarded(cmdPlayersDelete, this, &PlayersPanel::cmdPlayersDelete_Click, m_state, m_platform);
    connectGuarded(cmdPlayersClear, this, &PlayersPanel::cmdPlayersClear_Click, m_state, m_platform);
    connectGuarded(cmdPlayersAdd, this, &PlayersPanel::cmdPlayersAdd_Click, m_state, m_platform);
    connectGuarded(cmdPlayersOk, this, &PlayersPanel::cmdPlayersOk_Click, m_state, m_platform);
    // Only the operator's selections arrive here: the program selects with signals blocked
    // and runs the selection handling itself.
    connect(List2, &QListWidget::itemSelectionChanged, this, [this] { runGuarded(m_state, m_platform, [this] { List2_Click(); }); });
    connect(txtPlayers, &QLineEdit::returnPressed, this, [this] {
        if (cmdPlayersOk->isEnabled())
            cmdPlayersOk->click();
    });
}

int PlayersPanel::selectedIndex() const
{
    return listbox::selectedRow(List2);
}

void PlayersPanel::select(int row)
{
    listbox::selectQuietly(List2, row);
    List2_Click();
}

void PlayersPanel::rewriteDisplay()
{
    CreateHTML(m_state, m_platform.programFolder);
}

void PlayersPanel::UpdatePlayerList(int gameId, const QString &gameName)
{
    setEnabled(true);
    m_state.CurrentListID = gameId;
    Label1->setText(gameName);
    listbox::clear(List2);
    dbTask("open", m_state);
    openStatement(m_state.DetailRecordset,
                  QStringLiteral("Select * From list_content Where list_id=") + QString::number(m_state.CurrentListID)
                          + QStringLiteral(" Order By listbox_order"),
                  m_state);
    listbox::appendRows(List2, m_state.DetailRecordset, QStringLiteral("player_name"));
    m_state.DetailRecordset.Close();
    dbTask("close", m_state);
    m_state.PlayersMode = QStringLiteral("EDIT");
    List2_Click();
    cmdPlayersAdd->setEnabled(true);
    cmdPlayersOk->setEnabled(false);
    txtPlayers->clear();
    txtPlayers->setEnabled(false);
    cmdPlayersClear->setEnabled(List2->count() > 0);
}

void PlayersPanel::List2_Click()
{
    const int selected = selectedIndex();
    cmdPlayersUp->setEnabled(selected > 0);
    cmdPlayersTop->setEnabled(selected > 0);
    cmdPlayersDown->setEnabled(selected >= 0 && selected < List2->count() - 1);
    m_state.BlinkOn = false;
    m_state.StarOn = false;
    m_state.PhoneOn = false;
    const bool any = selected >= 0;
    for (QPushButton *button : {cmdPlayersBlink, cmdPlayersPhone, cmdPlayersStar, cmdPlayersDelete, cmdPlayersOk})
        button->setEnabled(any);
    if (any) {
        const MarkedName marked = readMarkers(List2->item(selected)->text());
        m_state.BlinkOn = marked.markers.blink;
        m_state.StarOn = marked.markers.star;
        m_state.PhoneOn = marked.markers.phone;
        txtPlayers->setText(marked.bareName);
        txtPlayers->setEnabled(true);
    } else {
        txtPlayers->clear();
        txtPlayers->setEnabled(false);
    }
}

void PlayersPanel::cmdPlayersAdd_Click()
{
    m_state.BlinkOn = false;
    m_state.StarOn = false;
    m_state.PhoneOn = false;
    m_state.PlayersMode = QStringLiteral("ADD");
    select(-1);
    cmdPlayersOk->setEnabled(true);
    txtPlayers->setEnabled(true);
    txtPlayers->clear();
    txtPlayers->setFocus();
}

void PlayersPanel::cmdPlayersOk_Click()
{
    const QString typed = withoutControlCharacters(txtPlayers->text());
    if (trimBlanks(typed).isEmpty()) {
        m_platform.messageBox->show(QStringLiteral("Player name cannot be blank"), MessageBox::Exclamation, Caption);
        txtPlayers->setFocus();
        return;
    }
    const QString mode = m_state.PlayersMode.toUpper();
    const int selected = selectedIndex();
    if (mode == QLatin1String("EDIT") && selected < 0) {
        // After a single delete nothing is selected: there is no row to rewrite.
        m_platform.messageBox->show(QStringLiteral("Select a player first"), MessageBox::Exclamation, Caption);
        return;
    }
    if (mode != QLatin1String("ADD") && mode != QLatin1String("EDIT"))
        return;

    const QString name = writeMarkers(typed,
                                      PlayerMarkers{m_state.BlinkOn, m_state.StarOn, m_state.PhoneOn});
    Recordset &row = m_state.MainRecordset;
    dbTask("open", m_state);
    if (mode == QLatin1String("ADD")) {
        openStatement(row, QStringLiteral("Select * From list_content"), m_state);
        row.AddNew();
        const int id = row.value(QStringLiteral("id")).toInt();
        listbox::insertEntry(List2, List2->count(), name, id);
        row.Fields(QStringLiteral("listbox_order")) = List2->count() - 1;
    } else {
        const int id = listbox::idOf(List2->item(selected));
        openStatement(row, QStringLiteral("Select * From list_content Where id=") + QString::number(id), m_state);
        row.Fields(QStringLiteral("listbox_order")) = selected;
        listbox::insertEntry(List2, selected + 1, name, id);
        listbox::removeEntry(List2, selected);
    }
    row.Fields(QStringLiteral("player_name")) = name;
    row.Fields(QStringLiteral("player_phone")) = QString(QLatin1String(""));
    row.Fields(QStringLiteral("player_number")) = 0;
    row.Fields(QStringLiteral("list_id")) = m_state.CurrentListID;
    select(row.value(QStringLiteral("listbox_order")).toInt());
    row.Update();
    row.Close();
    dbTask("close", m_state);
    rewriteDisplay();
    txtPlayers->clear();
    txtPlayers->setEnabled(false);
    cmdPlayersOk->setEnabled(false);
    cmdPlayersClear->setEnabled(true);
    m_state.PlayersMode = QStringLiteral("EDIT");
    List2->setFocus();
    List2_Click();
}

void PlayersPanel::cmdPlayersDelete_Click()
{
    const int selected = selectedIndex();
    if (selected < 0)
        return;
    const int id = listbox::idOf(List2->item(selected));
    dbTask("open", m_state);
    openStatement(m_state.DetailRecordset, QStringLiteral("Select * From list_content Where id=") + QString::number(id), m_state);
    if (!m_state.DetailRecordset.Eof())
        m_state.DetailRecordset.Delete();
    m_state.DetailRecordset.Close();
    listbox::removeEntry(List2, selected);
    listbox::renumberInOpenBracket(List2, QStringLiteral("Select * From list_content Where id = "), m_state);
    dbTask("close", m_state);
    rewriteDisplay();
}

void PlayersPanel::cmdPlayersClear_Click()
{
    if (List2->count() == 0 || m_state.CurrentListID == 0)
        return;
    if (m_platform.messageBox->show(QStringLiteral("Delete ALL players from list"),
                                    MessageBox::Question | MessageBox::YesNo, Caption)
        == MessageBox::No)
        return;
    dbTask("open", m_state);
    openStatement(m_state.DetailRecordset,
                  QStringLiteral("Select * From list_content Where list_id = ") + QString::number(m_state.CurrentListID),
                  m_state);
    deleteEveryRow(m_state.DetailRecordset);
    m_state.DetailRecordset.Close();
    dbTask("close", m_state);
    rewriteDisplay();
    listbox::clear(List2);
    for (QPushButton *button : {cmdPlayersClear, cmdPlayersDelete, cmdPlayersBlink, cmdPlayersPhone, cmdPlayersStar,
                                cmdPlayersTop, cmdPlayersUp, cmdPlayersDown})
        button->setEnabled(false);
    cmdPlayersAdd->setEnabled(true);
    cmdPlayersOk->setEnabled(false);
    txtPlayers->clear();
    txtPlayers->setEnabled(false);
    cmdPlayersAdd->setFocus();
}

void PlayersPanel::cmdPlayersUp_Click()
{
    List2->setUpdatesEnabled(false);
    listbox::moveSelected(List2, -1, [this](int row) { select(row); });
    UpdatePlayersData();
    List2->setUpdatesEnabled(true);
}

void PlayersPanel::cmdPlayersDown_Click()
{
    List2->setUpdatesEnabled(false);
    listbox::moveSelected(List2, +1, [this](int row) { select(row); });
    UpdatePlayersData();
    List2->setUpdatesEnabled(true);
}

void PlayersPanel::cmdPlayersTop_Click()
{
    const int p = selectedIndex();
    if (p < 0)
        return; // nothing selected: there is no entry to move
    List2->setUpdatesEnabled(false);
    const QListWidgetItem *entry = List2->item(p);
    listbox::insertEntry(List2, 0, entry->text(), listbox::idOf(entry));
    listbox::removeEntry(List2, p + 1);
    select(0);
    List2->setFocus();
    List2->setUpdatesEnabled(true);
    UpdatePlayersData();
}

void PlayersPanel::UpdatePlayersData()
{
    // An emptied list is rewritten too, so the board never shows a player who has gone.
    if (List2->count() > 0)
        listbox::renumber(List2, QStringLiteral("Select * From list_content Where id = "), m_state);
    rewriteDisplay();
}

void PlayersPanel::toggleMarker(const QString &tag, bool WindowState::*flag)
{
    const int selected = selectedIndex();
    if (selected < 0) {
        m_platform.messageBox->show(QStringLiteral("Select a player first"), MessageBox::Exclamation, Caption);
        return;
    }
    const bool found = List2->item(selected)->text().contains(tag);
    List2_Click();
    m_state.*flag = !found;
    cmdPlayersOk_Click();
    select(selected);
}

void PlayersPanel::cmdPlayersBlink_Click()
{
    toggleMarker(BlinkTag, &WindowState::BlinkOn);
}

void PlayersPanel::cmdPlayersStar_Click()
{
    toggleMarker(StarTag, &WindowState::StarOn);
}

void PlayersPanel::cmdPlayersPhone_Click()
{
    toggleMarker(PhoneTag, &WindowState::PhoneOn);
}

void PlayersPanel::blankForNewGame()
{
    Label1->clear();
    listbox::clear(List2);
    List2_Click();
    cmdPlayersAdd->setEnabled(false);
    cmdPlayersOk->setEnabled(false);
    cmdPlayersClear->setEnabled(false);
    txtPlayers->clear();
    txtPlayers->setEnabled(false);
    setEnabled(false);
}

void PlayersPanel::blankForDeletedGame()
{
    listbox::clear(List2);
    Label1->clear();
    for (QPushButton *button : {cmdPlayersClear, cmdPlayersDelete, cmdPlayersBlink, cmdPlayersPhone, cmdPlayersStar,
                                cmdPlayersTop, cmdPlayersUp, cmdPlayersDown, cmdPlayersAdd, cmdPlayersOk})
        button->setEnabled(false);
    txtPlayers->clear();
    txtPlayers->setEnabled(false);
    setEnabled(false);
}

} // namespace tavlo
