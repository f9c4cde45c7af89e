#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavlo::test {

// A strict reader of RFC 4180: records end in CR LF, a field holding a comma, a quote or a
// line break is quoted and its quotes doubled; anything else (a bare LF, a quote inside an
// unquoted field, text after a closing quote) is an error, and the answer is nothing.
inline std::optional<QList<QStringList>> readCsv(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> records;
    QStringList record;
    QString field;
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (n == 0)
        return records;
    while (true) {
        field.clear();
        if (i < n && text[i] == QLatin1Char('"')) {
            ++i;
            while (true) {
                if (i >= n)
                    return std::nullopt; // unterminated
                if (text[i] == QLatin1Char('"')) {
                    if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\r')) {
                if (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('\n'))
                    return std::nullopt;
                field += text[i++];
            }
        }
        record << field;
        if (i < n && text[i] == QLatin1Char(',')) {
            ++i;
            continue;
        }
        if (i + 1 < n && text[i] == QLatin1Char('\r') && text[i + 1] == QLatin1Char('\n')) {
            i += 2;
            records << record;
            record.clear();
            if (i == n)
                return records;
            continue;
        }
        return std::nullopt; // the last record must end in CR LF too
    }
}

} // namespace tavlo::test
