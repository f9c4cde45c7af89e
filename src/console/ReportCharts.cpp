#include "console/ReportCharts.h"

#include "room/ShiftReport.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCoreApplication>
#include <QDateTimeAxis>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QValueAxis>

#include <cmath>

namespace tavlo {

namespace {

struct ChartText {
    Q_DECLARE_TR_FUNCTIONS(ReportCharts)
};

QChart *newChart(const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

// A whole-number axis from 0 to a little above the top value.
QValueAxis *countAxis(double top, const QString &title)
{
    auto *axis = new QValueAxis;
    axis->setRange(0, std::max(1.0, std::ceil(top * 1.1)));
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTitleText(title);
    axis->applyNiceNumbers();
    return axis;
}

} // namespace

QChart *ReportCharts::waiting(const ShiftReport &report)
{
    QChart *chart = newChart(ChartText::tr("Players waiting"));
    int top = 0;
    for (const ShiftReport::Waiting &game : report.waiting) {
        auto *series = new QLineSeries;
        series->setName(game.game);
        series->replace(game.points);
        chart->addSeries(series);
        top = std::max(top, game.peak);
    }
    auto *time = new QDateTimeAxis;
    const qint64 days = report.from.daysTo(report.to);
    time->setFormat(days > 1 ? QStringLiteral("d MMM") : QStringLiteral("HH:mm"));
    time->setTickCount(days > 1 ? int(std::min<qint64>(days, 10)) + 1 : 13);
    time->setRange(report.from.toLocalTime(), report.to.toLocalTime());
    chart->addAxis(time, Qt::AlignBottom);
    QValueAxis *players = countAxis(top, ChartText::tr("players"));
    chart->addAxis(players, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(time);
        series->attachAxis(players);
    }
    return chart;
}

QChart *ReportCharts::waitTimes(const ShiftReport &report)
{
    QChart *chart = newChart(ChartText::tr("Waiting times of players who reached the top (minutes)"));
    auto *median = new QBarSet(ChartText::tr("Median"));
    auto *ninetieth = new QBarSet(ChartText::tr("90th percentile"));
    QStringList games;
    double top = 0;
    // Bars across, so that the games' names have room; the first game at the top.
    for (auto game = report.waitTimes.crbegin(); game != report.waitTimes.crend(); ++game) {
        // How many players each figure rests on, beside the game's name.
        games << QStringLiteral("%1 (%2)").arg(game->game).arg(game->players);
        *median << std::round(game->medianMinutes);
        *ninetieth << std::round(game->ninetiethMinutes);
        top = std::max(top, game->ninetiethMinutes);
    }
    auto *series = new QHorizontalBarSeries;
    series->append(median);
    series->append(ninetieth);
    chart->addSeries(series);
    auto *categories = new QBarCategoryAxis;
    categories->append(games);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);
    QValueAxis *minutes = countAxis(top, ChartText::tr("minutes"));
    chart->addAxis(minutes, Qt::AlignBottom);
    series->attachAxis(minutes);
    return chart;
}

QChart *ReportCharts::hours(const ShiftReport &report)
{
    QChart *chart = newChart(ChartText::tr("Players added and removed per hour"));
    auto *added = new QBarSet(ChartText::tr("Added"));
    auto *removed = new QBarSet(ChartText::tr("Removed"));
    QStringList labels;
    int top = 0;
    for (int hour = 0; hour < 24; ++hour) {
        labels << QString::number(hour);
        *added << report.hours[hour].added;
        *removed << report.hours[hour].removed;
        top = std::max({top, report.hours[hour].added, report.hours[hour].removed});
    }
    auto *series = new QBarSeries;
    series->append(added);
    series->append(removed);
    chart->addSeries(series);
    auto *axis = new QBarCategoryAxis;
    axis->append(labels);
    axis->setTitleText(ChartText::tr("hour of the day"));
    QFont small = axis->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    axis->setLabelsFont(small);
    chart->addAxis(axis, Qt::AlignBottom);
    series->attachAxis(axis);
    QValueAxis *players = countAxis(top, ChartText::tr("players"));
    chart->addAxis(players, Qt::AlignLeft);
    series->attachAxis(players);
    return chart;
}

} // namespace tavlo
