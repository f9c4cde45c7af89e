#pragma once

#include "board/Board.h"

#include <QHash>
#include <QObject>
#include <QString>

namespace tavlo {

class Room;
struct Settings;

// Keeps the large screen's fragment in step with the room: after every change it renders the
// board from the room in memory and replaces TAVLO-Display.txt in the display folder in one
// step, after putting the display page and picture there when the folder lacks them.
class BoardPublisher : public QObject {
    Q_OBJECT
public:
    // The settings give the display folder and the layout; a row count below one is replaced
    // in them by its fallback (15, 10), so the settings file keeps what the board used.
    BoardPublisher(const Room &room, Settings &settings, const QString &programFolder, QObject *parent = nullptr);

    // The board of the room as it stands, laid out by the settings.
    Board board();
    QString fragmentPath() const;

    // Writes the board now; false (after failed()) when it could not be written.
    bool publish();

signals:
    void published();
    void failed(const QString &message);

private:
    bool copyWhenMissing(const QString &folder, const QString &fileName);

    const Room &m_room;
    Settings &m_settings;
    QString m_programFolder;
    QHash<QString, QString> m_sources; // display file name -> the program folder's copy, or empty
};

} // namespace tavlo
