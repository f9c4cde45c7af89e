#pragma once

#include "store/WaitingListStore.h"

#include <QList>
#include <QString>

#include <memory>

namespace tavlo {

class Command;

// A desk's changes that can be undone and redone, oldest first, and the position between the
// done and the undone ones, as QUndoStack keeps them; the last limit() changes are kept. It
// holds their journal rows and reads each one's command the first time it is asked about it.
// Running the commands, and saying each step to the store, is the room's work.
class UndoHistory {
public:
    static constexpr int DefaultLimit = 1000;
    struct Target {
        qint64 gameId = 0;
        qint64 playerId = 0;
    };

    // The desk's rows as the journal keeps them, oldest first: the done ones, then the undone
    // ones; whatever comes after those is no history to follow.
    void load(const QList<JournalRecord> &entries);

    bool isEmpty() const { return m_steps.isEmpty(); }
    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    // "Undo delete of Alice from Poker", "Redo ..."; empty when there is nothing to do.
    QString undoText() const;
    QString redoText() const;
    // The game and the player the next undo or redo is about (0 where none).
    Target undoTarget() const;
    Target redoTarget() const;

    int limit() const { return m_limit; }
    void setLimit(int limit) { m_limit = limit; }

    // The change the next undo (forward false) or redo steps over, and its command; only when
    // there is one.
    const JournalRecord &next(bool forward) const;
    std::shared_ptr<const Command> nextCommand(bool forward) const;
    // It was undone or made again: the position moves over it. Its row, marked so.
    const JournalRecord &stepped(bool forward);
    // It could not be: it leaves the history, so that the one before it comes next (after it,
    // for a redo).
    void drop(bool forward);

    // The changes a new one takes out of the history: those undone, which can no longer be
    // redone after it, and the oldest where the history is full.
    QList<qint64> endedByNewChange() const;
    // A new change, made, once endedByNewChange() have left the journal's history.
    void push(const JournalRecord &entry, std::shared_ptr<const Command> command);

    QList<qint64> ids() const;
    void clear();

    // Why an undo or redo could not be done, in the words the desk shows.
    enum class Refusal { Unreadable, Mismatch, Elsewhere, ConnectionLost, Failed };
    static QString refusal(Refusal why, bool forward, const QString &failure = {});

private:
    struct Step {
        JournalRecord entry;
        std::shared_ptr<const Command> command; // read when first asked for
    };
    qsizetype indexOf(bool forward) const { return forward ? m_done : m_done - 1; }
    const std::shared_ptr<const Command> &commandAt(qsizetype index) const;
    QString textAt(const char *verb, qsizetype index) const;

    mutable QList<Step> m_steps; // oldest first; those from m_done on are undone
    qsizetype m_done = 0;
    int m_limit = DefaultLimit;
};

} // namespace tavlo
