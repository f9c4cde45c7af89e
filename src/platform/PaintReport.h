#pragma once

#include <QLoggingCategory>

#include <functional>

class QWidget;

namespace tavlo {

// When a program's window first painted, said on the log category "tavlo.startup", which is
// off unless QT_LOGGING_RULES turns it on. The time is the machine's monotonic clock, so that
// another process (a benchmark that started this one) can compare it with its own.
Q_DECLARE_LOGGING_CATEGORY(startupLog)

// Nanoseconds on the machine's monotonic clock (CLOCK_MONOTONIC), the same in every process.
qint64 monotonicNanoseconds();

// Says on startupLog that the program's start reached `step` ("main entered", "application
// ready", "window built") at `at`. The log's rules take effect with the application object, so
// a step before it is timed there and said after it.
void reportStartupStep(const char *step, qint64 at = monotonicNanoseconds());

// Runs `then` once, after the window's first paint has been handed to the window system, and
// says so on startupLog: work queued here comes after the first picture, not before it. A
// window not painted within two seconds runs it anyway.
void afterFirstPaint(QWidget &window, std::function<void()> then = {});

} // namespace tavlo
