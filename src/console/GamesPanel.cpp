#include "GamesPanel.h"

#include "ConsoleLook.h"
#include "DbTask.h"
#include "DisplayWriter.h"
#include "MessageBox.h"
#include "Platform.h"
#include "PlayersPanel.h"
#include "StoreFailure.h"
#include "TextFile.h"
#include "Twips.h"
#include "WindowState.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace tavlo {

namespace {

const QString Caption = QStringLiteral("TAVLO");

int idOf(const QListWidgetItem *item)
{
    return item->data(Qt::UserRole).toInt();
}

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

    connectGuarded(cmdListsUp, &GamesPanel::cmdListsUp_Click);
    connectGuarded(cmdListsDown, &GamesPanel::cmdListsDown_Click);
    connectGuarded(cmdListsDelete, &GamesPanel::cmdListsDelete_Click);
    connectGuarded(cmdListsAdd, &GamesPanel::cmdListsAdd_Click);
    connectGuarded(cmdListsOk, &GamesPanel::cmdListsOk_Click);
    // Only the operator's selections arrive here: the program selects with signals blocked
    // and runs the selection handling itself.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { runGuarded(m_state, m_platform, [this] { List1_Click(); }); });
    connect(txtLists, &QLineEdit::returnPressed, this, [this] {
        if (cmdListsOk->isEnabled())
            cmdListsOk->click();
    });
}

void GamesPanel::connectGuarded(QPushButton *button, void (GamesPanel::*handler)())
{
    connect(button, &QPushButton::clicked, this, [this, handler] { runGuarded(m_state, m_platform, [this, handler] { (this->*handler)(); }); });
}

int GamesPanel::selectedIndex() const
{
    const auto items = List1->selectedItems();
    return items.isEmpty() ? -1 : List1->row(items.first());
}

void GamesPanel::select(int row)
{
    {
        const QSignalBlocker blocker(List1);
        if (row < 0 || row >= List1->count()) {
            List1->setCurrentRow(-1);
            List1->clearSelection();
        } else {
            List1->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        }
    }
    List1_Click();
}

void GamesPanel::insertEntry(int row, const QString &text, int id)
{
    const QSignalBlocker blocker(List1);
    auto *item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, id);
    List1->insertItem(row, item);
}

void GamesPanel::removeEntry(int row)
{
    const QSignalBlocker blocker(List1);
    const bool wasSelected = selectedIndex() == row;
    delete List1->takeItem(row);
    if (wasSelected) {
        List1->setCurrentRow(-1);
        List1->clearSelection();
    }
}

void GamesPanel::UpdatePlayerList()
{
    const int selected = selectedIndex();
    if (List1->count() == 0 || selected < 0)
        return;
    const QListWidgetItem *game = List1->item(selected);
    m_players.UpdatePlayerList(idOf(game), game->text());
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
    const QString typed = txtLists->text();
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
        insertEntry(List1->count(), typed, row.value(QStringLiteral("id")).toInt());
        row.Fields(QStringLiteral("listbox_order")) = List1->count() - 1;
    } else {
        const int id = idOf(List1->item(selected));
        openStatement(row, QStringLiteral("Select * From lists Where id=") + QString::number(id), m_state);
        row.Fields(QStringLiteral("listbox_order")) = selected;
        insertEntry(selected + 1, typed, id);
        removeEntry(selected);
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

    const int id = idOf(game);
    dbTask("open", m_state);
    m_state.CurrentListID = id;
    if (m_state.CurrentListID > 0) {
        openStatement(m_state.DetailRecordset,
                      QStringLiteral("Select * From list_content Where list_id = ") + QString::number(id), m_state);
        while (!m_state.DetailRecordset.Eof()) {
            m_state.DetailRecordset.Delete();
            m_state.DetailRecordset.MoveNext();
        }
        m_state.DetailRecordset.Close();
    }
    m_players.blankForDeletedGame();
    openStatement(m_state.MainRecordset, QStringLiteral("Select * From lists Where id=") + QString::number(id), m_state);
    if (!m_state.MainRecordset.Eof())
        m_state.MainRecordset.Delete();
    m_state.MainRecordset.Close();
    dbTask("close", m_state);

    removeEntry(selected);
    UpdateListsData();
    cmdListsDelete->setEnabled(false);
    cmdListsOk->setEnabled(false);
    txtLists->clear();
    txtLists->setEnabled(false);
    if (List1->count() > 0)
        select(0);
    List1->setFocus();
    List1_Click();
}

void GamesPanel::move(int offset)
{
    const int p = selectedIndex();
    const int count = List1->count();
    if (offset < 0 && p > 0) {
        const QListWidgetItem *entry = List1->item(p);
        insertEntry(p - 1, entry->text(), idOf(entry));
        select(p - 1);
        removeEntry(p + 1);
    } else if (offset > 0 && p >= 0 && p < count - 1) {
        const QListWidgetItem *entry = List1->item(p);
        insertEntry(p + 2, entry->text(), idOf(entry));
        select(p + 2);
        removeEntry(p);
    }
}

void GamesPanel::cmdListsUp_Click()
{
    List1->setUpdatesEnabled(false);
    m_state.Reordering = true;
    move(-1);
    UpdateListsData();
    m_state.Reordering = false;
    List1->setUpdatesEnabled(true);
}

void GamesPanel::cmdListsDown_Click()
{
    List1->setUpdatesEnabled(false);
    m_state.Reordering = true;
    move(+1);
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
    {
        const QSignalBlocker blocker(List1);
        List1->clear();
    }
    dbTask("open", m_state);
    openStatement(m_state.MainRecordset, QStringLiteral("Select * From lists Order By listbox_order"), m_state);
    {
        const QSignalBlocker blocker(List1);
        while (!m_state.MainRecordset.Eof()) {
            auto *item = new QListWidgetItem(m_state.MainRecordset.value(QStringLiteral("list_name")).toString());
            item->setData(Qt::UserRole, m_state.MainRecordset.value(QStringLiteral("id")).toInt());
            List1->addItem(item);
            m_state.MainRecordset.MoveNext();
        }
        List1->setCurrentRow(-1);
        List1->clearSelection();
    }
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
    if (List1->count() > 0) {
        dbTask("open", m_state);
        for (int i = 0; i < List1->count(); ++i) {
            openStatement(m_state.DetailRecordset,
                          QStringLiteral("Select * From lists Where id = ") + QString::number(idOf(List1->item(i))), m_state);
            m_state.DetailRecordset.Fields(QStringLiteral("listbox_order")) = i;
            m_state.DetailRecordset.Update();
            m_state.DetailRecordset.Close();
        }
        dbTask("close", m_state);
    }
    CreateHTML(m_state, m_platform.programFolder);
}

} // namespace tavlo
