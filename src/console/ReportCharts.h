#pragma once

class QChart;

namespace tavlo {

struct ShiftReport;

// The report's three charts, drawn by Qt's chart module from the report's figures. Each call
// makes a new chart the caller owns.
class ReportCharts {
public:
    // Players waiting per game over the span: a line for each game.
    static QChart *waiting(const ShiftReport &report);
    // Waiting times per game: the median and the 90th percentile, in minutes.
    static QChart *waitTimes(const ShiftReport &report);
    // Players added and removed in each hour of the day.
    static QChart *hours(const ShiftReport &report);
};

} // namespace tavlo
