#include "console/ReportsWindow.h"

#include "base/Language.h"
#include "base/TextFile.h"
#include "console/ReportCharts.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "room/JournalCsv.h"
#include "room/Room.h"
#include "room/WaitEstimate.h"
#include "store/StoreError.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QGridLayout>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tavlo {

namespace {

const QString Caption = QStringLiteral("TAVLO");

QChartView *chartView(QWidget *parent, const QString &name)
{
    auto *view = new QChartView(parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(320, 220);
    return view;
}

// Shows a new chart in the view; the old one goes.
void replaceChart(QChartView *view, QChart *chart)
{
    QChart *old = view->chart();
    view->setChart(chart);
    // A screen reader says the chart's title; the figures are in the summary above it.
    view->setAccessibleName(chart->title());
    delete old;
}

// Draws a chart into a rectangle of the painter's device, as vectors, laid out at a screen's
// size whatever the device's resolution.
void drawChart(QPainter &painter, QChart *chart, const QRectF &target)
{
    QGraphicsScene scene;
    scene.addItem(chart); // the scene owns it from here
    const QSizeF size(1000, 1000 * target.height() / target.width());
    chart->setGeometry(QRectF(QPointF(), size));
    scene.setSceneRect(QRectF(QPointF(), size));
    QCoreApplication::sendPostedEvents(); // the chart lays itself out
    scene.render(&painter, target, scene.sceneRect());
}

} // namespace

ReportsWindow::ReportsWindow(const Room &room, ReadJournal readJournal, MessageBox &messages, const Clock &clock,
                             const QTimeZone &zone, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_room(room)
    , m_readJournal(std::move(readJournal))
    , m_messages(messages)
    , m_clock(clock)
    , m_zone(zone)
{
    setObjectName(QStringLiteral("reportsWindow"));
    setWindowTitle(tr("TAVLO Reports"));
    resize(1100, 780);
    m_chooseFile = [this](const QString &caption, const QString &suggested, const QString &filter) {
        return QFileDialog::getSaveFileName(this, caption, suggested, filter);
    };

    const QDate today = m_clock.now().toTimeZone(m_zone).date();
    m_first = new QDateEdit(today, this);
    m_first->setObjectName(QStringLiteral("firstDayEdit"));
    m_last = new QDateEdit(today, this);
    m_last->setObjectName(QStringLiteral("lastDayEdit"));
    m_first->setAccessibleName(tr("First day"));
    m_last->setAccessibleName(tr("Last day"));
    for (QDateEdit *edit : {m_first, m_last}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    auto *todayButton = new QPushButton(tr("&Today"), this);
    auto *showButton = new QPushButton(tr("&Show"), this);
    showButton->setToolTip(tr("Read the journal again for these days (F5)"));
    auto *csvButton = new QPushButton(tr("Export &CSV…"), this);
    csvButton->setObjectName(QStringLiteral("exportCsvButton"));
    csvButton->setToolTip(tr("Every change of these days, one row each, for a spreadsheet"));
    auto *pdfButton = new QPushButton(tr("Export &PDF…"), this);
    pdfButton->setObjectName(QStringLiteral("exportPdfButton"));
    pdfButton->setToolTip(tr("This report with its charts, to print or send"));

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(tr("From"), this));
    bar->addWidget(m_first);
    bar->addWidget(new QLabel(tr("to"), this));
    bar->addWidget(m_last);
    bar->addWidget(showButton);
    bar->addWidget(todayButton);
    bar->addStretch();
    bar->addWidget(csvButton);
    bar->addWidget(pdfButton);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_waitingView = chartView(this, QStringLiteral("waitingChart"));
    m_waitTimesView = chartView(this, QStringLiteral("waitTimesChart"));
    m_hoursView = chartView(this, QStringLiteral("hoursChart"));
    auto *charts = new QGridLayout;
    charts->addWidget(m_waitingView, 0, 0, 1, 2);
    charts->addWidget(m_waitTimesView, 1, 0);
    charts->addWidget(m_hoursView, 1, 1);
    charts->setRowStretch(0, 3);
    charts->setRowStretch(1, 2);
    charts->setColumnStretch(0, 2);
    charts->setColumnStretch(1, 3);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_summary);
    layout->addLayout(charts, 1);

    connect(showButton, &QPushButton::clicked, this, &ReportsWindow::showChosenDays);
    connect(todayButton, &QPushButton::clicked, this, &ReportsWindow::showToday);
    connect(csvButton, &QPushButton::clicked, this, &ReportsWindow::chooseAndExportCsv);
    connect(pdfButton, &QPushButton::clicked, this, &ReportsWindow::chooseAndExportPdf);
    auto *reread = new QAction(this);
    reread->setShortcut(Qt::Key_F5);
    connect(reread, &QAction::triggered, this, &ReportsWindow::showChosenDays);
    addAction(reread);
    auto *close = new QAction(this);
    close->setShortcut(Qt::Key_Escape);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

ReportsWindow::~ReportsWindow() = default;

QChart *ReportsWindow::waitingChart() const
{
    return m_waitingView->chart();
}

QChart *ReportsWindow::waitTimesChart() const
{
    return m_waitTimesView->chart();
}

QChart *ReportsWindow::hoursChart() const
{
    return m_hoursView->chart();
}

void ReportsWindow::showChosenDays()
{
    showDays(m_first->date(), m_last->date());
}

bool ReportsWindow::showToday()
{
    const QDate today = m_clock.now().toTimeZone(m_zone).date();
    return showDays(today, today);
}

bool ReportsWindow::showDays(QDate first, QDate last)
{
    if (last < first)
        std::swap(first, last);
    m_first->setDate(first);
    m_last->setDate(last);
    const QDateTime now = m_clock.now();
    try {
        // From the first day on, to now: the lists are counted back from the room as it is.
        m_entries = m_readJournal(ShiftReport::dayStart(first, m_zone), {});
    } catch (const StoreError &error) {
        m_messages.show(tr("The journal cannot be read:\r\n") + error.message(),
                        MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
        return false;
    }
    m_firstDay = first;
    m_lastDay = last;
    m_report = ShiftReport::build(m_entries, m_room.games(), first, last, now, m_zone);
    replaceChart(m_waitingView, ReportCharts::waiting(m_report));
    replaceChart(m_waitTimesView, ReportCharts::waitTimes(m_report));
    replaceChart(m_hoursView, ReportCharts::hours(m_report));
    m_summary->setText(summaryText());
    return true;
}

QString ReportsWindow::spanText() const
{
    const QString format = QStringLiteral("ddd d MMM yyyy");
    if (m_firstDay == m_lastDay)
        return textLocale().toString(m_firstDay, format);
    return tr("%1 to %2").arg(textLocale().toString(m_firstDay, format), textLocale().toString(m_lastDay, format));
}

QString ReportsWindow::fileStem() const
{
    const QString first = m_firstDay.toString(Qt::ISODate);
    return m_firstDay == m_lastDay ? QStringLiteral("TAVLO-") + first
                                   : QStringLiteral("TAVLO-%1-to-%2").arg(first, m_lastDay.toString(Qt::ISODate));
}

QString ReportsWindow::summaryText() const
{
    QString text = tr("%1: %2 changes").arg(spanText()).arg(m_report.changes);
    if (m_report.undone > 0)
        text += tr(" (%1 undone)").arg(m_report.undone);
    text += tr(", %1 players added, %2 removed.").arg(m_report.added).arg(m_report.removed);
    if (m_report.seated + m_report.noShows > 0) {
        text += tr(" %1 seated (%2 an hour), no-shows %3% of calls").arg(m_report.seated).arg(m_report.seatsPerHour(), 0, 'f', 1).arg(qRound(m_report.noShowRate() * 100));
        if (m_report.calledAndSeated > 0)
            text += tr(", %1 min from call to seat").arg(m_report.callToSeatMinutes, 0, 'f', 1);
        text += QLatin1Char('.');
    }
    const auto longest = std::max_element(m_report.waiting.cbegin(), m_report.waiting.cend(),
                                          [](const ShiftReport::Waiting &a, const ShiftReport::Waiting &b) { return a.peak < b.peak; });
    if (longest != m_report.waiting.cend()) {
        const QDateTime at = longest->peakAt.toTimeZone(m_zone);
        text += tr(" Longest list: %1, %2 waiting at %3.")
                        .arg(longest->game)
                        .arg(longest->peak)
                        .arg(textLocale().toString(at, m_firstDay == m_lastDay ? QStringLiteral("HH:mm")
                                                                               : QStringLiteral("d MMM HH:mm")));
    }
    int seated = 0;
    for (const ShiftReport::WaitTimes &game : m_report.waitTimes)
        seated += game.players;
    if (seated > 0)
        text += seated == 1 ? tr(" 1 player reached the top of a list.")
                            : tr(" %1 players reached the top of a list.").arg(seated);
    return text;
}

QString ReportsWindow::exportCsv(const QString &path) const
{
    const qint64 to = ShiftReport::dayStart(m_lastDay.addDays(1), m_zone).toMSecsSinceEpoch();
    QList<JournalRecord> days;
    for (const JournalRecord &entry : m_entries) {
        if (entry.madeAt.toMSecsSinceEpoch() < to)
            days.append(entry);
    }
    return writeFileOrDevice(path, JournalCsv(m_zone).document(days));
}

QString ReportsWindow::exportPdf(const QString &path) const
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    writer.setResolution(96);
    writer.setTitle(tr("TAVLO report, ") + spanText());
    writer.setCreator(QStringLiteral("TAVLO"));
    QPainter painter;
    if (!painter.begin(&writer))
        return tr("Cannot write %1").arg(path);
    const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
    const QRectF area(0, 0, page.width(), page.height());

    QFont heading = font();
    heading.setPointSizeF(16);
    heading.setBold(true);
    painter.setFont(heading);
    const QRectF title(area.left(), area.top(), area.width(), 32);
    painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter, tr("TAVLO report, ") + spanText());
    QFont body = font();
    body.setPointSizeF(10);
    painter.setFont(body);
    const QRectF summary(area.left(), title.bottom() + 4, area.width(), 48);
    painter.drawText(summary, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, summaryText());
    drawChart(painter, ReportCharts::waiting(m_report), QRectF(area.left(), summary.bottom() + 4, area.width(),
                                                               area.bottom() - summary.bottom() - 4));
    if (!writer.newPage()) {
        painter.end();
        return tr("Cannot write %1").arg(path);
    }
    const qreal half = (area.height() - 8) / 2;
    drawChart(painter, ReportCharts::waitTimes(m_report), QRectF(area.left(), area.top(), area.width(), half));
    drawChart(painter, ReportCharts::hours(m_report), QRectF(area.left(), area.top() + half + 8, area.width(), half));
    if (!painter.end())
        return tr("Cannot write %1").arg(path);
    return {};
}

void ReportsWindow::chooseAndExportCsv()
{
    const QString path = m_chooseFile(tr("Export the journal as CSV"), fileStem() + QStringLiteral(".csv"),
                                      tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    const QString failure = exportCsv(path);
    if (!failure.isEmpty())
        m_messages.show(failure, MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
}

void ReportsWindow::chooseAndExportPdf()
{
    const QString path = m_chooseFile(tr("Export the report as PDF"), fileStem() + QStringLiteral(".pdf"),
                                      tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString failure = exportPdf(path);
    if (!failure.isEmpty())
        m_messages.show(failure, MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
}

} // namespace tavlo
