#pragma once

#include "room/ShiftReport.h"

#include <QTimeZone>
#include <QWidget>

#include <functional>

class QChart;
class QChartView;
class QDateEdit;
class QLabel;
class QPushButton;

namespace tavlo {

class Clock;
class MessageBox;
class Room;

// The shift report: for the chosen days, players waiting per game, waiting times per game and
// players added and removed per hour, with the journal of those days exported as CSV and the
// report as PDF.
class ReportsWindow : public QWidget {
    Q_OBJECT
public:
    // Reads the journal's entries from one time until another (none: until the end); throws
    // StoreError when it cannot.
    using ReadJournal = std::function<QList<JournalRecord>(const QDateTime &from, const QDateTime &to)>;
    // Asks where to save: a caption, a suggested file name and a filter; empty when declined.
    using ChooseFile = std::function<QString(const QString &caption, const QString &suggested, const QString &filter)>;

    ReportsWindow(const Room &room, ReadJournal readJournal, MessageBox &messages, const Clock &clock,
                  const QTimeZone &zone = QTimeZone::systemTimeZone(), QWidget *parent = nullptr);
    ~ReportsWindow() override;

    // Reads the journal for the days and draws the report; false (after a message) when the
    // journal cannot be read.
    bool showDays(QDate first, QDate last);
    // Today's report, read anew.
    bool showToday();

    const ShiftReport &report() const { return m_report; }
    QChart *waitingChart() const;
    QChart *waitTimesChart() const;
    QChart *hoursChart() const;
    QLabel *summaryLabel() const { return m_summary; }
    QDateEdit *firstDayEdit() const { return m_first; }
    QDateEdit *lastDayEdit() const { return m_last; }

    // Each returns an empty string on success, else what went wrong.
    QString exportCsv(const QString &path) const;
    QString exportPdf(const QString &path) const;

    void setFileChooser(ChooseFile choose) { m_chooseFile = std::move(choose); }
    // The report in words, as the summary line says it.
    QString summaryText() const;

private:
    void chooseAndExportCsv();
    void chooseAndExportPdf();
    void showChosenDays();
    QString spanText() const;
    QString fileStem() const;

    const Room &m_room;
    ReadJournal m_readJournal;
    MessageBox &m_messages;
    const Clock &m_clock;
    QTimeZone m_zone;
    ChooseFile m_chooseFile;
    ShiftReport m_report;
    QList<JournalRecord> m_entries; // from the first day's start on
    QDate m_firstDay;
    QDate m_lastDay;
    QDateEdit *m_first;
    QDateEdit *m_last;
    QLabel *m_summary;
    QChartView *m_waitingView;
    QChartView *m_waitTimesView;
    QChartView *m_hoursView;
};

} // namespace tavlo
