#include "base/LeadingNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tavlo {

namespace {

int digitIn(QChar c, int base)
{
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9')
        d = u - u'0';
    else if (u >= u'a' && u <= u'f')
        d = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        d = u - u'A' + 10;
    return d < base ? d : -1;
}

bool isSkipped(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// Whether a number the engine cannot represent is too large (rather than too small): the
// decimal exponent of its first significant digit decides.
bool tooLarge(const std::string &number)
{
    const std::size_t e = number.find('e');
    long long exponent = 0;
    if (e != std::string::npos) {
        for (std::size_t i = e + 1; i < number.size(); ++i) {
            if (number[i] >= '0' && number[i] <= '9' && exponent < 1'000'000'000)
                exponent = exponent * 10 + (number[i] - '0');
        }
        if (e + 1 < number.size() && number[e + 1] == '-')
            exponent = -exponent;
    }
    long long digits = 0;
    long long beforePoint = -1;
    long long firstSignificant = -1;
    for (std::size_t i = 0; i < std::min(e, number.size()); ++i) {
        const char c = number[i];
        if (c == '.') {
            beforePoint = digits;
        } else if (c >= '0' && c <= '9') {
            if (c != '0' && firstSignificant < 0)
                firstSignificant = digits;
            ++digits;
        }
    }
    if (beforePoint < 0)
        beforePoint = digits;
    return beforePoint - firstSignificant - 1 + exponent >= 0;
}

// Reads a number from the start of the text; `consumed` tells how far it read (blanks
// included) and `sawDigits` whether any digit was part of it.
double scan(QStringView text, qsizetype &consumed, bool &sawDigits)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skip = [&] {
        while (i < n && isSkipped(text[i]))
            ++i;
    };
    sawDigits = false;
    skip();

    if (i + 1 < n && text[i] == QLatin1Char('&')) {
        const QChar kind = text[i + 1].toUpper();
        const int base = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
        if (base != 0) {
            i += 2;
            std::uint64_t value = 0;
            int digits = 0;
            for (;; ++i) {
                skip();
                if (i >= n)
                    break;
                const int d = digitIn(text[i], base);
                if (d < 0)
                    break;
                if (value <= (std::numeric_limits<std::uint64_t>::max() >> 4))
                    value = value * base + d;
                ++digits;
            }
            consumed = i;
            sawDigits = digits > 0;
            // Up to 16 bits reads as a signed 16-bit value, up to 32 bits as a signed 32-bit one,
            // the way the classic conversion treats &HFFFF as -1.
            if (value <= 0xFFFFu)
                return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
            if (value <= 0xFFFFFFFFu)
                return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
            return static_cast<double>(value);
        }
    }

    std::string number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        number.push_back(static_cast<char>(text[i].unicode()));
        ++i;
    }
    bool point = false;
    for (;; ++i) {
        skip();
        if (i >= n)
            break;
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            number.push_back(static_cast<char>(c.unicode()));
            sawDigits = true;
        } else if (c == QLatin1Char('.') && !point) {
            number.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (sawDigits && i < n) {
        const QChar e = text[i].toUpper();
        if (e == QLatin1Char('E') || e == QLatin1Char('D')) {
            qsizetype j = i + 1;
            auto skipJ = [&] {
                while (j < n && isSkipped(text[j]))
                    ++j;
            };
            skipJ();
            std::string exponent = "e";
            if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
                exponent.push_back(static_cast<char>(text[j].unicode()));
                ++j;
            }
            bool expDigits = false;
            for (;; ++j) {
                skipJ();
                if (j >= n || text[j] < QLatin1Char('0') || text[j] > QLatin1Char('9'))
                    break;
                exponent.push_back(static_cast<char>(text[j].unicode()));
                expDigits = true;
            }
            if (expDigits) {
                number += exponent;
                i = j;
            }
        }
    }
    consumed = i;
    if (!sawDigits)
        return 0.0;
    // from_chars ignores the process locale, unlike strtod.
    double value = 0.0;
    const char *first = number.data();
    if (*first == '+')
        ++first;
    const auto result = std::from_chars(first, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to represent reads as 0; only a number too large is out of range.
        const double sign = number.front() == '-' ? -1.0 : 1.0;
        return tooLarge(number) ? sign * std::numeric_limits<double>::infinity() : sign * 0.0;
    }
    return value;
}

} // namespace

double leadingNumber(QStringView text)
{
    qsizetype consumed = 0;
    bool digits = false;
    return scan(text, consumed, digits);
}

std::optional<double> wholeNumber(QStringView text)
{
    qsizetype consumed = 0;
    bool digits = false;
    const double value = scan(text, consumed, digits);
    if (!digits)
        return std::nullopt;
    for (qsizetype i = consumed; i < text.size(); ++i) {
        if (!text[i].isSpace())
            return std::nullopt;
    }
    return value;
}

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

std::optional<std::int16_t> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

} // namespace tavlo
