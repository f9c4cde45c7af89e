#include "console/GamesPanel.h"

#include "console/ConsoleLook.h"
#include "console/GuardedClick.h"
#include "console/ListBox.h"
#include "core/DbTask.h"
#include "core/DisplayWriter.h"
#include "platform/MessageBox.h"
#include "platform/Platform.h"
#include "console/PlayersPanel.h"
#include "core/StoreFailure.h"
#include "base/TextFile.h"
#include "console/Twips.h"
#include "core/WindowState.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tavlo {

namespace {

const QString Caption = QStringLiteral("TAVLO");

} // namespace

GamesPanel::GamesPanel(WindowState &state, const Platform &platform, PlayersPanel &players, QWidget *parent)
    : QFrame(parent), m_state(state), m_platform(platform), m_players(players)
{
    setObjectName(QStringLiteral("Frame1"));
    setFrameShape(QFrame::Box);
    setBackground(this, bgrColor(0xFFFFFF));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twipsRect(120, 360, 4575, 2880));
    List1->setFont(consoleFont(12));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twipsRect(4800, 120, 975, 4215));
    setBackground(Picture1, bgrColor(0xFFFFFF));

    cmdListsUp = symbolButton(Picture1, QStringLiteral("cmdListsUp"), QStringLiteral("\u25B2"), 9.75, false,
                              QStringLiteral("Move game up"), 240, 120);
    cmdListsDown = symbolButton(Picture1, QStringLiteral("cmdListsDown"), QStringLiteral("\u25BC"), 9.75, false,
                                QStringLiteral("Move game down"), 720, 120);
    cmdListsDelete = symbolButton(Picture1, QStringLiteral("cmdListsDelete"), QStringLiteral("\u2716"), 11.25, false,
                                  QStringLiteral("Delete game"), 2400, 120);
    cmdListsAdd = symbolButton(Picture1, QStringLiteral("cmdListsAdd"), QStringLiteral("\u271A"), 11.25, false,
                               QStringLiteral("Add new game"), 3360, 120);
    cmdListsOk = symbolButton(Picture1, QStringLiteral("cmdListsOk"), QStringLiteral("\u2714"), 12, true,
                              QStringLiteral("Save game"), 3840, 120);

    txtLists = new QLineEdit(this);
    txtLists->setObjectName(QStringLiteral("txtLists"));
    txtLists->setGeometry(twipsRect(120, 3960, 4575, 375));
    txtLists->setFont(consoleFont(12));
    setBackground(txtLists, bgrColor(0xC0FFFF));

    connectGuarded(cmdListsUp, this, &GamesPanel::cmdListsUp_Click, m_state, m_platform);
    connectGuarded(cmdListsDown, this, &GamesPanel::cmdListsDown_Click, m_state, m_platform);
    connectGuarded(cmdListsDelete, this, &GamesPanel::cmdListsDelete_Click, m_state, m_platform);
    connectGuarded(cmdListsAdd, this, &GamesPanel::cmdListsAdd_Click, m_state, m_platform);
    connectGuarded(cmdListsOk, this, &GamesPanel::cmdListsOk_Click, m_state, m_platform);
    // Only the operator's selections arrive here: the program selects with signals blocked
    // and runs the selection handling itself.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { runGuarded(m_state, m_platform, [this] { List1_Click(); }); });
    connect(txtLists, &QLineEdit::returnPressed, this, [this] {
        if (cmdListsOk->isEnabled())
            cmdListsOk->click();
    });
}

int GamesPanel::selectedIndex() const
{
    return listbox::selectedRow(List1);
}

void GamesPanel::select(int row)
{
    listbox::selectQuietly(List1, row);
    List1_Click();
}

void GamesPanel::UpdatePlayerList()
{
    const int selected = selectedIndex();
    if (List1->count() == 0 || selected < 0)
        return;
    const QListWidgetItem *game = List1->item(selected);
    m_players.UpdatePlayerList(listbox::idOf(game), game->text());
}

void GamesPanel::cmdListsAdd_Click()
{
    m_players.blankForNewGame();
    cmdListsOk->setEnabled(true);
    txtLists->setEnabled(true);
    txtLists->clear();
    m_state.ListsMode = QStringLiteral("ADD");
    select(-1);
    UpdatePlayerList();
    txtLists->setFocus();
}

void GamesPanel::cmdListsOk_Click()
{
    const QString typed = withoutControlCharacters(txtLists->text());
    if (trimBlanks(typed).isEmpty()) {
        m_platform.messageBox->show(QStringLiteral("Game name cannot be blank"), MessageBox::Exclamation, Caption);
        txtLists->setFocus();
        return;
    }
    const QString mode = m_state.ListsMode.toUpper();
    const int selected = selectedIndex();
    if (mode != QLatin1String("ADD") && !(mode == QLatin1String("EDIT") && selected >= 0))
        return;

    Recordset &row = m_state.MainRecordset;
    dbTask("open", m_state);
    if (mode == QLatin1String("ADD")) {
        openStatement(row, QStringLiteral("Select * From lists"), m_state);
        row.AddNew();
        listbox::insertEntry(List1, List1->count(), typed, row.value(QStringLiteral("id")).toInt());
        row.Fields(QStringLiteral("listbox_order")) = List1->count() - 1;
    } else {
        const int id = listbox::idOf(List1->item(selected));
        openStatement(row, QStringLiteral("Select * From lists Where id=") + QString::number(id), m_state);
        row.Fields(QStringLiteral("listbox_order")) = selected;
        listbox::insertEntry(List1, selected + 1, typed, id);
        listbox::removeEntry(List1, selected);
    }
    const int position = row.value(QStringLiteral("listbox_order")).toInt();
    row.Fields(QStringLiteral("list_name")) = typed;
    row.Update();
    row.Close();
    dbTask("close", m_state);
    CreateHTML(m_state, m_platform.programFolder);
    txtLists->clear();
    txtLists->setEnabled(false);
    cmdListsOk->setEnabled(false);
    m_state.ListsMode = QStringLiteral("EDIT");
    select(position);
    List1->setFocus();
    List1_Click();
}

void GamesPanel::cmdListsDelete_Click()
{
    const int selected = selectedIndex();
    if (selected < 0)
        return;
    const QListWidgetItem *game = List1->item(selected);
    if (m_platform.messageBox->show(QStringLiteral("Sure you want to delete ") + game->text(),
                                    MessageBox::Question | MessageBox::YesNo, Caption)
        == MessageBox::No)
        return;

    const int id = listbox::idOf(game);
    dbTask("open", m_state);
    m_state.CurrentListID = id;
    if (m_state.CurrentListID > 0) {
        openStatement(m_state.DetailRecordset,
                      QStringLiteral("Select * From list_content Where list_id = ") + QString::number(id), m_state);
        deleteEveryRow(m_state.DetailRecordset);
        m_state.DetailRecordset.Close();
    }
    m_players.blankForDeletedGame();
    openStatement(m_state.MainRecordset, QStringLiteral("Select * From lists Where id=") + QString::number(id), m_state);
    if (!m_state.MainRecordset.Eof())
        m_state.MainRecordset.Delete();
    m_state.MainRecordset.Close();
    listbox::removeEntry(List1, selected);
    listbox::renumberInOpenBracket(List1, QStringLiteral("Select * From lists Where id = "), m_state);
    dbTask("close", m_state);
    CreateHTML(m_state, m_platform.programFolder);
    cmdListsDelete->setEnabled(false);
    cmdListsOk->setEnabled(false);
    txtLists->clear();
    txtLists->setEnabled(false);
    if (List1->count() > 0)
        select(0);
    List1->setFocus();
    List1_Click();
}

void GamesPanel::cmdListsUp_Click()
{
    List1->setUpdatesEnabled(false);
    m_state.Reordering = true;
    listbox::moveSelected(List1, -1, [this](int row) { select(row); });
    UpdateListsData();
    m_state.Reordering = false;
    List1->setUpdatesEnabled(true);
}

void GamesPanel::cmdListsDown_Click()
{
    List1->setUpdatesEnabled(false);
    m_state.Reordering = true;
    listbox::moveSelected(List1, +1, [this](int row) { select(row); });
    UpdateListsData();
    m_state.Reordering = false;
    List1->setUpdatesEnabled(true);
}

void GamesPanel::List1_Click()
{
    const int selected = selectedIndex();
    cmdListsUp->setEnabled(selected > 0);
    cmdListsDown->setEnabled(selected >= 0 && selected < List1->count() - 1);
    cmdListsDelete->setEnabled(selected >= 0);
    if (selected >= 0) {
        txtLists->setText(List1->item(selected)->text());
        txtLists->setEnabled(true);
        cmdListsOk->setEnabled(true);
        m_state.ListsMode = QStringLiteral("EDIT");
    }
    if (!m_state.Reordering)
        UpdatePlayerList();
}

void GamesPanel::UpdateLists()
{
    listbox::clear(List1);
    dbTask("open", m_state);
    openStatement(m_state.MainRecordset, QStringLiteral("Select * From lists Order By listbox_order"), m_state);
    listbox::appendRows(List1, m_state.MainRecordset, QStringLiteral("list_name"));
    m_state.MainRecordset.Close();
    dbTask("close", m_state);
    List1_Click();
    cmdListsAdd->setEnabled(true);
    cmdListsOk->setEnabled(false);
    txtLists->clear();
    txtLists->setEnabled(false);
}

void GamesPanel::UpdateListsData()
{
    // An emptied list is rewritten too, so the board never keeps a game that no longer exists.
    if (List1->count() > 0)
        listbox::renumber(List1, QStringLiteral("Select * From lists Where id = "), m_state);
    CreateHTML(m_state, m_platform.programFolder);
}

} // namespace tavlo
