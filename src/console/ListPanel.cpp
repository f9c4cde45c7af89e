#include "console/ListPanel.h"

#include "base/TextFile.h"
#include "base/Twips.h"
#include "components/BgrColor.h"
#include "console/ConsoleLook.h"
#include "console/EntryListView.h"
#include "platform/MessageBox.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace tavlo {

namespace {

const QString Caption = QStringLiteral("TAVLO");

QRect pixels(const QRect &twips)
{
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

} // namespace

ListPanel::ListPanel(Room &room, MessageBox &messages, ListPanelConfig config, QWidget *parent)
    : QFrame(parent)
    , m_messages(messages)
    , m_config(std::move(config))
    , m_model(new RoomListModel(room, m_config.kind, this))
{
    setObjectName(m_config.objectName);
    setFrameShape(QFrame::Box);
    setBackground(this, BgrColor(0xFFFFFF).rgb());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    if (!m_config.titleTwips.isEmpty()) {
        m_title = new QLabel(this);
        m_title->setObjectName(QStringLiteral("titleLabel"));
        m_title->setAccessibleDescription(tr("The game whose waiting list is shown"));
        m_title->setGeometry(pixels(m_config.titleTwips));
        m_title->setFont(consoleFont(12, true));
        setBackground(m_title, BgrColor(0x404040).rgb());
        setForeground(m_title, BgrColor(0xFFFFFF).rgb());
    }

    m_list = new EntryListView(this);
    m_list->setObjectName(m_config.listName);
    m_list->setModel(m_model);
    const bool games = m_config.kind == RoomListModel::Kind::Games;
    m_list->setAccessibleName(games ? tr("Games") : tr("Waiting list"));
    m_list->setAccessibleDescription(games ? tr("The games; the selected game's players are shown beside it.")
                                           : tr("The players waiting for the selected game, first to be called at the top."));
    m_list->setGeometry(pixels(m_config.listTwips));
    m_list->setFont(consoleFont(12));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The style's focus mark on the selected entry hides under the selection: the frame shows it.
    m_list->setStyleSheet(QStringLiteral("QListView:focus { border: 2px solid palette(highlight); }"));
    if (m_config.setUpList)
        m_config.setUpList(m_list);

    auto *strip = new QWidget(this);
    strip->setGeometry(pixels(m_config.stripTwips));
    setBackground(strip, BgrColor(0xFFFFFF).rgb());
    for (const ListPanelConfig::Button &b : m_config.buttons) {
        QPushButton *button = symbolButton(strip, b.objectName, b.symbol, b.pointSize, b.bold, b.toolTip, b.topTwips, b.leftTwips);
        button->setAccessibleName(b.accessibleName);
        button->setAccessibleDescription(b.description);
        // A marker's button shows, and tells a screen reader, whether the marker is on.
        button->setCheckable(b.command == Command::Blink || b.command == Command::Star || b.command == Command::Phone);
        // The floor's buttons stay out of the Tab order the desk has always had: their keys reach them.
        if (b.command >= Command::Call)
            button->setFocusPolicy(Qt::NoFocus);
        m_buttons.insert(b.command, button);
        connect(button, &QPushButton::clicked, this, [this, command = b.command] { run(command); });
    }

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(m_config.nameEditName);
    m_nameEdit->setAccessibleName(games ? tr("Game name") : tr("Player name"));
    m_nameEdit->setGeometry(pixels(m_config.nameEditTwips));
    m_nameEdit->setFont(consoleFont(12));
    setBackground(m_nameEdit, BgrColor(0xC0FFFF).rgb());

    // The list sits above the button strip where the two overlap.
    strip->lower();

    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ListPanel::followSelection);
    connect(m_nameEdit, &QLineEdit::returnPressed, this, [this] {
        if (button(Command::Save)->isEnabled())
            button(Command::Save)->click();
    });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_selectedBeforeReset = selectedId(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, &ListPanel::keepSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &ListPanel::showCommandMenu);
    setUpCommands();
    if (!m_config.leading)
        showList(0);
}

ListPanel::~ListPanel() = default;

void ListPanel::setUpCommands()
{
    // The same commands from the keyboard, as list editors have them.
    for (const ListPanelConfig::Key &key : m_config.keys) {
        auto *action = new QAction(key.text, this);
        action->setShortcut(key.key);
        QPushButton *button = m_buttons.value(key.command);
        // A command whose button is off is off from the keyboard too.
        connect(action, &QAction::triggered, this, [this, button, command = key.command] {
            if (!button || button->isEnabled())
                run(command);
        });
        action->setShortcutContext(key.listOnly ? Qt::WidgetShortcut : Qt::WidgetWithChildrenShortcut);
        (key.listOnly ? static_cast<QWidget *>(m_list) : this)->addAction(action);
        m_commands.append({action, button});
    }
}

QList<QAction *> ListPanel::commands() const
{
    QList<QAction *> actions;
    for (const auto &[action, button] : m_commands)
        actions.append(action);
    return actions;
}

void ListPanel::setMenuFrame(const QList<QAction *> &before, const QList<QAction *> &after)
{
    m_menuBefore = before;
    m_menuAfter = after;
}

void ListPanel::showCommandMenu(const QPoint &at)
{
    QMenu menu(m_list);
    menu.addActions(m_menuBefore);
    menu.addSeparator();
    for (const auto &[action, button] : std::as_const(m_commands)) {
        action->setEnabled(!button || button->isEnabled());
        menu.addAction(action);
    }
    menu.addSeparator();
    menu.addActions(m_menuAfter);
    menu.exec(m_list->mapToGlobal(at));
    for (const auto &[action, button] : std::as_const(m_commands))
        action->setEnabled(true);
}

QList<QWidget *> ListPanel::tabOrder() const
{
    QList<QWidget *> order{m_list};
    for (const ListPanelConfig::Button &b : m_config.buttons) {
        if (b.command != Command::Save)
            order.append(m_buttons.value(b.command));
    }
    return order << m_nameEdit << button(Command::Save);
}

void ListPanel::run(Command command)
{
    switch (command) {
    case Command::MoveUp:
        return moveSelected(-1);
    case Command::MoveDown:
        return moveSelected(+1);
    case Command::MoveToTop:
        return moveSelectedToTop();
    case Command::Blink:
        return toggle(Marker::Blink);
    case Command::Star:
        return toggle(Marker::Star);
    case Command::Phone:
        return toggle(Marker::Phone);
    case Command::Delete:
        return removeSelected();
    case Command::DeleteAll:
        return removeAll();
    case Command::Add:
        return add();
    case Command::Save:
        return save();
    case Command::SaveToGames:
        return save(true);
    case Command::Interest:
        if (selectedId() != 0 && m_model->toggleInterest(selectedId()))
            select(selectedId());
        return;
    case Command::Edit:
        return editSelected();
    case Command::Cancel:
        return cancel();
    case Command::Call:
    case Command::CancelCall:
    case Command::Seat:
    case Command::NoShow:
    case Command::Away:
    case Command::SeatKeepOthers:
        return floor(command);
    }
}

qint64 ListPanel::selectedId() const
{
    return m_model->idAt(selectedRow());
}

int ListPanel::selectedRow() const
{
    // One row at most is selected, nearly always the current one; else its range says which,
    // without a list of indexes.
    const QItemSelectionModel *model = m_list->selectionModel();
    if (const QModelIndex current = model->currentIndex(); current.isValid() && model->isSelected(current))
        return current.row();
    const QItemSelection selection = model->selection();
    return selection.isEmpty() ? -1 : selection.first().top();
}

void ListPanel::setSelectedRow(int row)
{
    QItemSelectionModel *selection = m_list->selectionModel();
    if (row < 0) {
        selection->clear();
        return;
    }
    const QModelIndex index = m_model->index(row);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(index);
}

void ListPanel::enable(Command command, bool on)
{
    if (QPushButton *b = button(command))
        b->setEnabled(on);
}

void ListPanel::closeNameBox()
{
    m_nameEdit->clear();
    m_nameEdit->setEnabled(false);
    enable(Command::Save, false);
}

void ListPanel::select(qint64 id)
{
    // Shown afresh, also when it is the entry the name box already shows.
    m_shownId = 0;
    setSelectedRow(m_model->rowOf(id));
    if (m_shownId == 0)
        showSelection(true);
}

void ListPanel::followSelection()
{
    const qint64 id = selectedId();
    if (id != 0 && id == m_shownId) {
        // The same entry again, after the list was read again: what was typed stays.
        showPosition();
        return;
    }
    // The entry shown has just left the list: the name box and the buttons keep what they showed.
    if (id == 0 && m_shownId != 0 && !m_model->inRoom(m_shownId))
        return;
    showSelection(true);
}

void ListPanel::showPosition()
{
    const int row = selectedRow();
    const int count = m_model->rowCount();
    enable(Command::MoveUp, row > 0);
    enable(Command::MoveToTop, row > 0);
    enable(Command::MoveDown, row >= 0 && row < count - 1);
    enable(Command::DeleteAll, count > 0);
}

void ListPanel::showSelection(bool announce)
{
    const qint64 id = selectedId();
    showPosition();
    for (Command command : {Command::Blink, Command::Phone, Command::Star, Command::Delete, Command::Save, Command::Call,
                            Command::CancelCall, Command::Seat, Command::NoShow, Command::Away})
        enable(command, id != 0);
    m_markers = {};
    m_shownId = id;
    if (id == 0) {
        closeNameBox();
        showMarkers();
        return;
    }
    const QString stored = m_model->nameOf(id);
    if (hasMarkers()) {
        const MarkedName marked = readMarkers(stored);
        m_markers = marked.markers;
        m_nameEdit->setText(marked.bareName);
        showMarkers();
    } else {
        m_nameEdit->setText(stored);
    }
    m_nameEdit->setEnabled(true);
    if (m_config.leading) {
        // The lists that follow show this entry's: an add is over.
        m_adding = false;
        if (announce)
            emit entryShown(id);
    }
}

void ListPanel::keepSelection()
{
    if (m_title)
        m_title->setText(m_model->ownerName());
    const int row = m_model->rowOf(m_selectedBeforeReset);
    if (m_selectedBeforeReset != 0 && row < 0) {
        // Deleted elsewhere.
        if (m_config.leading)
            showFirstEntry();
        else
            select(0);
        return;
    }
    setSelectedRow(row);
    showPosition();
}

void ListPanel::showFirstEntry()
{
    emit entryShown(0);
    select(m_model->idAt(0));
}

void ListPanel::open()
{
    m_adding = false;
    select(0);
    if (m_config.leading) {
        enable(Command::Add, true);
        if (m_model->rowCount() > 0)
            select(m_model->idAt(0));
    } else if (m_model->rowCount() == 0) {
        enable(Command::Add, false);
    }
}

void ListPanel::showList(qint64 ownerId)
{
    m_model->setOwner(ownerId);
    if (m_title)
        m_title->setText(m_model->ownerName());
    m_adding = false;
    select(0);
    setEnabled(ownerId != 0);
    enable(Command::Add, ownerId != 0);
}

bool ListPanel::confirm(const QString &question)
{
    return m_messages.show(question, MessageBox::Icon::Question, MessageBox::Buttons::YesNo, Caption) != MessageBox::Answer::No;
}

void ListPanel::warn(const QString &text)
{
    m_messages.show(text, MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
}

void ListPanel::add()
{
    m_selectedBeforeAdd = selectedId();
    if (m_config.leading)
        emit entryShown(0);
    select(0);
    m_adding = true;
    enable(Command::Save, true);
    m_nameEdit->setEnabled(true);
    m_nameEdit->setFocus();
}

void ListPanel::save(bool toSeveralGames)
{
    // Only a new player signs up for several games at once.
    if (toSeveralGames && (!m_adding || !m_config.chooseGames))
        return;
    const QString typed = withoutControlCharacters(m_nameEdit->text());
    if (trimBlanks(typed).isEmpty()) {
        warn(m_config.blankName);
        m_nameEdit->setFocus();
        return;
    }
    const qint64 selected = selectedId();
    if (!m_adding && selected == 0) {
        // After a single delete nothing is selected: there is nothing to rewrite.
        if (!m_config.selectFirst.isEmpty())
            warn(m_config.selectFirst);
        return;
    }
    // A game's name is kept as typed, blanks included; a player's is trimmed and carries its markers.
    const QString name = hasMarkers() ? writeMarkers(typed, m_markers) : typed;
    std::optional<qint64> saved;
    if (toSeveralGames) {
        const QList<qint64> games = m_config.chooseGames(this, m_model->owner());
        if (games.isEmpty())
            return;
        saved = m_model->addToGames(games, name);
    } else {
        saved = m_adding ? m_model->add(name) : (m_model->rename(selected, name) ? std::optional(selected) : std::nullopt);
    }
    if (!saved)
        return;
    if (!m_adding)
        offerToOthers(*saved);
    m_adding = false;
    select(*saved);
    m_list->setFocus();
}

void ListPanel::offerToOthers(qint64 id)
{
    const QStringList games = m_model->otherGames(id);
    if (games.isEmpty() || !confirm(tr("The same for %1 on %2?").arg(readMarkers(m_model->nameOf(id)).bareName, games.join(QStringLiteral(", ")))))
        return;
    m_model->copyToOthers(id);
}

void ListPanel::removeSelected()
{
    const qint64 id = selectedId();
    if (id == 0)
        return;
    if (!m_config.deleteQuestion.isEmpty() && !confirm(m_config.deleteQuestion + m_model->nameOf(id)))
        return;
    if (m_config.leading) {
        // The panels that follow let go of it first.
        emit entryShown(0);
    }
    // Else the list would select the next entry as this one leaves.
    m_list->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    if (!m_model->remove(id) || !m_config.leading)
        return; // a player's delete changes nothing else: the name box and the buttons keep what they showed
    showFirstEntry();
    m_list->setFocus();
}

void ListPanel::removeAll()
{
    if (m_model->rowCount() == 0 || !confirm(m_config.deleteAllQuestion) || !m_model->removeAll())
        return;
    for (QPushButton *b : std::as_const(m_buttons))
        b->setEnabled(b == button(Command::Add));
    closeNameBox();
    button(Command::Add)->setFocus();
}

void ListPanel::moveSelected(int offset)
{
    const int to = selectedRow() + offset;
    if (selectedId() == 0 || to < 0 || to >= m_model->rowCount())
        return;
    // The selection moves with the entry; the panels that follow keep what they show.
    if (m_model->move(selectedId(), offset))
        showSelection(false);
}

void ListPanel::moveSelectedToTop()
{
    if (const qint64 id = selectedId(); id != 0 && m_model->moveToTop(id)) {
        showSelection(false);
        m_list->setFocus();
    }
}

void ListPanel::toggle(Marker marker)
{
    const qint64 id = selectedId();
    if (id == 0) {
        showMarkers(); // a click checked the button
        warn(m_config.selectFirst);
        return;
    }
    const bool found = m_model->nameOf(id).contains(tagOf(marker));
    // Whatever was typed but not saved gives way to the stored name.
    showSelection(false);
    flagOf(m_markers, marker) = !found;
    save();
    select(id);
    showMarkers();
}

void ListPanel::showMarkers()
{
    for (const ListPanelConfig::Button &b : m_config.buttons) {
        const std::optional<Marker> marker = b.command == Command::Blink ? Marker::Blink
                : b.command == Command::Star                             ? Marker::Star
                : b.command == Command::Phone                            ? std::optional(Marker::Phone)
                                                                         : std::nullopt;
        if (!marker)
            continue;
        const bool on = flagOf(m_markers, *marker);
        QPushButton *shown = button(b.command);
        shown->setChecked(on);
        // A new description is announced to assistive technology: only when it is new.
        const QString description = b.description + QLatin1Char(' ') + (on ? tr("On for this player.") : tr("Off for this player."));
        if (shown->accessibleDescription() != description)
            shown->setAccessibleDescription(description);
    }
}

void ListPanel::floor(Command command)
{
    const qint64 id = selectedId();
    if (id == 0) {
        warn(m_config.selectFirst);
        return;
    }
    if (command != Command::Seat && command != Command::SeatKeepOthers) {
        if (m_model->floor(command, id))
            select(id);
        return;
    }
    // As after a delete: the list must not select the next player as this one leaves.
    m_list->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    m_model->floor(command, id);
}

void ListPanel::editSelected()
{
    if (selectedId() == 0 || !m_nameEdit->isEnabled())
        return;
    m_nameEdit->setFocus();
    m_nameEdit->selectAll();
}

void ListPanel::cancel()
{
    if (m_adding) {
        m_adding = false;
        closeNameBox();
        select(m_model->rowOf(m_selectedBeforeAdd) >= 0 ? m_selectedBeforeAdd : 0);
        m_list->setFocus();
        return;
    }
    if (selectedId() != 0) {
        // The stored name (and markers) again, whatever was typed.
        showSelection(false);
        m_list->setFocus();
    }
}

} // namespace tavlo
