#include "room/UndoHistory.h"

#include "room/Command.h"

#include <QCoreApplication>

#include <algorithm>

namespace tavlo {

namespace {
struct HistoryText {
    Q_DECLARE_TR_FUNCTIONS(UndoHistory)
};
} // namespace

void UndoHistory::load(const QList<JournalRecord> &entries)
{
    m_steps.clear();
    m_done = 0;
    while (m_done < entries.size() && !entries[m_done].reverted)
        ++m_done;
    // Undone changes stand after the done ones; anything else is no history to follow.
    const qsizetype end = m_done + std::count_if(entries.cbegin() + m_done, entries.cend(), [](const JournalRecord &entry) { return entry.reverted; });
    m_steps.reserve(end);
    for (qsizetype i = 0; i < end; ++i)
        m_steps.append({entries[i], nullptr});
}

const std::shared_ptr<const Command> &UndoHistory::commandAt(qsizetype index) const
{
    Step &step = m_steps[index];
    if (!step.command)
        step.command = Command::fromJournal(step.entry);
    return step.command;
}

QString UndoHistory::textAt(const char *verb, qsizetype index) const
{
    return HistoryText::tr(verb).arg(commandAt(index)->describe());
}

QString UndoHistory::undoText() const
{
    return canUndo() ? textAt(QT_TRANSLATE_NOOP("UndoHistory", "Undo %1"), m_done - 1) : QString();
}

QString UndoHistory::redoText() const
{
    return canRedo() ? textAt(QT_TRANSLATE_NOOP("UndoHistory", "Redo %1"), m_done) : QString();
}

UndoHistory::Target UndoHistory::undoTarget() const
{
    return canUndo() ? Target{m_steps[m_done - 1].entry.gameId, m_steps[m_done - 1].entry.playerId} : Target{};
}

UndoHistory::Target UndoHistory::redoTarget() const
{
    return canRedo() ? Target{m_steps[m_done].entry.gameId, m_steps[m_done].entry.playerId} : Target{};
}

const JournalRecord &UndoHistory::next(bool forward) const
{
    return m_steps[indexOf(forward)].entry;
}

std::shared_ptr<const Command> UndoHistory::nextCommand(bool forward) const
{
    return commandAt(indexOf(forward));
}

const JournalRecord &UndoHistory::stepped(bool forward)
{
    const qsizetype index = indexOf(forward);
    m_steps[index].entry.reverted = !forward;
    m_done += forward ? 1 : -1;
    return m_steps[index].entry;
}

void UndoHistory::drop(bool forward)
{
    m_steps.remove(indexOf(forward));
    if (!forward)
        --m_done;
}

QList<qint64> UndoHistory::endedByNewChange() const
{
    QList<qint64> ids;
    for (qsizetype i = m_done; i < m_steps.size(); ++i)
        ids << m_steps[i].entry.id;
    const qsizetype overflow = std::max<qsizetype>(0, m_done + 1 - m_limit);
    for (qsizetype i = 0; i < overflow; ++i)
        ids << m_steps[i].entry.id;
    return ids;
}

void UndoHistory::push(const JournalRecord &entry, std::shared_ptr<const Command> command)
{
    const qsizetype overflow = std::max<qsizetype>(0, m_done + 1 - m_limit);
    m_steps.resize(m_done);
    m_steps.remove(0, overflow);
    m_steps.append({entry, std::move(command)});
    m_done = m_steps.size();
}

QList<qint64> UndoHistory::ids() const
{
    QList<qint64> ids;
    ids.reserve(m_steps.size());
    for (const Step &step : std::as_const(m_steps))
        ids << step.entry.id;
    return ids;
}

void UndoHistory::clear()
{
    m_steps.clear();
    m_done = 0;
}

QString UndoHistory::refusal(Refusal why, bool forward, const QString &failure)
{
    const QString done = forward ? HistoryText::tr("redone") : HistoryText::tr("undone");
    switch (why) {
    case Refusal::Unreadable:
        return HistoryText::tr("The journal's record of this change cannot be read, so it cannot be %1. "
                              "The lists are unchanged.").arg(done);
    case Refusal::Mismatch:
        return HistoryText::tr("The journal's record of this change does not match the lists, so it cannot be %1. "
                              "The lists are unchanged.").arg(done);
    case Refusal::Elsewhere:
        return HistoryText::tr("Another desk has changed what this was about, so it cannot be %1.").arg(done);
    case Refusal::ConnectionLost:
        return failure;
    case Refusal::Failed:
        break;
    }
    return HistoryText::tr("This change cannot be %1: %2").arg(done, failure);
}

} // namespace tavlo
