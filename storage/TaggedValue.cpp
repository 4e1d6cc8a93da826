// SPDX-License-Identifier: MIT
#include "TaggedValue.h"

#include "host/core/CodePage.h"
#include "host/core/RuntimeError.h"

#include <QDate>
#include <QTime>
#include <QtEndian>

#include <cfloat>
#include <cmath>
#include <cstring>

namespace storage {
namespace {

template <typename T> T readLE(QByteArrayView bytes, qsizetype offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return qFromLittleEndian(value);
}

template <typename T> void appendLE(QByteArray& out, T value) {
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&value), sizeof(T));
}

// Payload widths of the fixed-size kinds.
qsizetype payloadWidth(std::uint16_t code) {
    switch (code) {
    case 2:
    case 11:
        return 2;
    case 3:
    case 4:
        return 4;
    case 5:
    case 6:
    case 7:
        return 8;
    case 17:
        return 1;
    default:
        return -1;
    }
}

// The general number format: up to `digits` significant digits, exponent form outside the
// range the platform prints plainly ("1234567", "1.234568E+07", "1E-05").
QString formatNumber(double value, int digits) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    QString text = QString::number(value, 'G', digits);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

QString formatCurrency(std::int64_t raw) {
    const bool negative = raw < 0;
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(raw) : std::uint64_t(raw);
    QString text = QString::number(magnitude / 10000);
    std::uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return negative ? QLatin1Char('-') + text : text;
}

QString formatDate(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 2958465.0 * 2)
        return formatNumber(days, 15);
    const double whole = std::trunc(days);
    const double fraction = std::fabs(days - whole);
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    const int seconds = static_cast<int>(std::lrint(fraction * 86400.0)) % 86400;
    const QTime time = QTime(0, 0).addSecs(seconds);
    const QString datePart = date.toString(QStringLiteral("M/d/yyyy"));
    const QString timePart = time.toString(QStringLiteral("h:mm:ss AP"));
    if (seconds == 0)
        return datePart;
    if (whole == 0)
        return timePart;
    return datePart + QLatin1Char(' ') + timePart;
}

} // namespace

TaggedValue::TaggedValue(Kind kind, double number) : m_kind(kind), m_number(number) {}

TaggedValue TaggedValue::integer(std::int16_t value) {
    return {Kind::Integer, double(value)};
}
TaggedValue TaggedValue::longInteger(std::int32_t value) {
    return {Kind::Long, double(value)};
}
TaggedValue TaggedValue::single(float value) {
    return {Kind::Single, double(value)};
}
TaggedValue TaggedValue::doubleValue(double value) {
    return {Kind::Double, value};
}
TaggedValue TaggedValue::date(double days) {
    return {Kind::Date, days};
}
TaggedValue TaggedValue::boolean(bool value) {
    return {Kind::Boolean, value ? -1.0 : 0.0};
}
TaggedValue TaggedValue::byte(std::uint8_t value) {
    return {Kind::Byte, double(value)};
}

TaggedValue TaggedValue::currency(std::int64_t tenThousandths) {
    TaggedValue v(Kind::Currency, static_cast<double>(tenThousandths) / 10000.0);
    v.m_raw = tenThousandths;
    return v;
}

TaggedValue TaggedValue::string(const QString& text) {
    TaggedValue v(Kind::String, 0);
    v.m_text = text;
    return v;
}

QByteArray TaggedValue::encode() const {
    QByteArray out;
    appendLE<std::uint16_t>(out, static_cast<std::uint16_t>(m_kind));
    switch (m_kind) {
    case Kind::Empty:
        break;
    case Kind::Integer:
        appendLE<std::int16_t>(out, static_cast<std::int16_t>(m_number));
        break;
    case Kind::Long:
        appendLE<std::int32_t>(out, static_cast<std::int32_t>(m_number));
        break;
    case Kind::Single:
        appendLE<float>(out, static_cast<float>(m_number));
        break;
    case Kind::Double:
    case Kind::Date:
        appendLE<double>(out, m_number);
        break;
    case Kind::Currency:
        appendLE<std::int64_t>(out, m_raw);
        break;
    case Kind::Boolean:
        appendLE<std::int16_t>(out, m_number != 0 ? -1 : 0);
        break;
    case Kind::Byte:
        appendLE<std::uint8_t>(out, static_cast<std::uint8_t>(m_number));
        break;
    case Kind::String: {
        const QByteArray text = host::toAnsi(m_text);
        if (text.size() > 0xFFFF)
            host::raise(host::ErrBadRecordLength);
        appendLE<std::uint16_t>(out, static_cast<std::uint16_t>(text.size()));
        out.append(text);
        break;
    }
    }
    return out;
}

TaggedValue TaggedValue::decode(QByteArrayView record) {
    if (record.size() < 2)
        return {};
    const auto code = readLE<std::uint16_t>(record, 0);
    if (code == static_cast<std::uint16_t>(Kind::String)) {
        if (record.size() < 4)
            return {};
        const auto length = readLE<std::uint16_t>(record, 2);
        if (length > kMaxStringBytes || length > record.size() - 4)
            return {};
        return string(host::fromAnsi(record.sliced(4, length)));
    }
    const qsizetype width = payloadWidth(code);
    if (width < 0 || record.size() < 2 + width)
        return {};
    switch (code) {
    case 2:
        return integer(readLE<std::int16_t>(record, 2));
    case 3:
        return longInteger(readLE<std::int32_t>(record, 2));
    case 4:
        return single(readLE<float>(record, 2));
    case 5:
        return doubleValue(readLE<double>(record, 2));
    case 6:
        return currency(readLE<std::int64_t>(record, 2));
    case 7:
        return date(readLE<double>(record, 2));
    case 11:
        return boolean(readLE<std::int16_t>(record, 2) != 0);
    case 17:
        return byte(readLE<std::uint8_t>(record, 2));
    default:
        return {};
    }
}

double TaggedValue::toNumber() const {
    switch (m_kind) {
    case Kind::Empty:
        return 0;
    case Kind::String:
        return parseNumber(m_text);
    default:
        return m_number;
    }
}

float TaggedValue::toSingle() const {
    const double value = toNumber();
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
        host::raise(host::ErrOverflow);
    return static_cast<float>(value);
}

QString TaggedValue::toText() const {
    switch (m_kind) {
    case Kind::Empty:
        return {};
    case Kind::Integer:
    case Kind::Long:
    case Kind::Byte:
        return QString::number(static_cast<qint64>(m_number));
    case Kind::Single:
        return formatNumber(m_number, 7);
    case Kind::Double:
        return formatNumber(m_number, 15);
    case Kind::Currency:
        return formatCurrency(m_raw);
    case Kind::Date:
        return formatDate(m_number);
    case Kind::Boolean:
        return m_number != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::String:
        return m_text;
    }
    return {};
}

bool operator==(const TaggedValue& a, const TaggedValue& b) {
    if (a.m_kind != b.m_kind)
        return false;
    if (a.m_kind == TaggedValue::Kind::String)
        return a.m_text == b.m_text;
    if (a.m_kind == TaggedValue::Kind::Currency)
        return a.m_raw == b.m_raw;
    return a.m_number == b.m_number || (std::isnan(a.m_number) && std::isnan(b.m_number));
}

double parseNumber(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto mismatch = [] { host::raise(host::ErrTypeMismatch); };
    while (i < n && host::isBlank(text[i]))
        ++i;
    qsizetype end = n;
    while (end > i && host::isBlank(text[end - 1]))
        --end;
    if (i == end)
        mismatch();

    if (text[i] == QLatin1Char('&') && i + 1 < end) {
        const QChar base = text[i + 1].toUpper();
        const int radix = base == QLatin1Char('H') ? 16 : base == QLatin1Char('O') ? 8 : 0;
        if (radix == 0 || i + 2 == end)
            mismatch();
        bool ok = false;
        const qulonglong value = text.sliced(i + 2, end - i - 2).toULongLong(&ok, radix);
        if (!ok || value > 0xFFFFFFFFull)
            mismatch();
        // Hex and octal literals are 16- or 32-bit two's complement, as the platform reads them.
        if (value <= 0xFFFF)
            return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }

    QByteArray number;
    qsizetype j = i;
    if (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))
        number.append(char(text[j++].unicode()));
    bool digits = false;
    bool point = false;
    for (; j < end; ++j) {
        const QChar c = text[j];
        if (c.isDigit() && c.unicode() < 0x80) {
            digits = true;
            number.append(char(c.unicode()));
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            number.append('.');
        } else {
            break;
        }
    }
    if (!digits)
        mismatch();
    if (j < end && QStringLiteral("EeDd").contains(text[j])) {
        number.append('e');
        ++j;
        if (j < end && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            number.append(char(text[j++].unicode()));
        bool expDigits = false;
        for (; j < end && text[j].isDigit() && text[j].unicode() < 0x80; ++j) {
            expDigits = true;
            number.append(char(text[j].unicode()));
        }
        if (!expDigits)
            mismatch();
    }
    if (j != end)
        mismatch();
    // The syntax is checked above, so a failing conversion can only be an overflow.
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || std::isinf(value))
        host::raise(host::ErrOverflow);
    return value;
}

} // namespace storage
