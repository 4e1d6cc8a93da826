// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace storage {

// One tagged value of a record file: a 16-bit type code (the OLE Automation VARIANT codes)
// followed by its payload. The system writes the empty kind (0), 16-bit integers (2), 32-bit
// floats (4) and strings (8); the other fixed-size scalars are read as their family reads them,
// so that files written by other tools do not break a reader.
class TaggedValue {
public:
    enum class Kind : std::uint16_t {
        Empty = 0,
        Integer = 2,
        Long = 3,
        Single = 4,
        Double = 5,
        Currency = 6,
        Date = 7,
        String = 8,
        Boolean = 11,
        Byte = 17,
    };

    // The most text bytes a string value can hold in one 128-byte record.
    static constexpr int kMaxStringBytes = 124;

    TaggedValue() = default;
    static TaggedValue integer(std::int16_t value);
    static TaggedValue longInteger(std::int32_t value);
    static TaggedValue single(float value);
    static TaggedValue doubleValue(double value);
    static TaggedValue currency(std::int64_t tenThousandths);
    static TaggedValue date(double days);
    static TaggedValue boolean(bool value);
    static TaggedValue byte(std::uint8_t value);
    static TaggedValue string(const QString& text);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }

    // Type code and payload, as they are stored at the start of a record.
    QByteArray encode() const;

    // Decodes the value at the start of a record's bytes. A type code the system does not know,
    // or a string whose length runs past the record, reads as the empty kind.
    static TaggedValue decode(QByteArrayView record);

    // To a number: empty gives 0, a string the number its text spells; text that spells no
    // number raises error 13.
    double toNumber() const;
    // To a 32-bit float; a value beyond its range raises error 6.
    float toSingle() const;
    // To a string: empty gives "", numbers their decimal form, a string itself.
    QString toText() const;
    // Compared with a string literal through the string form, case-sensitively.
    bool equals(QStringView literal) const { return toText() == literal; }

    friend bool operator==(const TaggedValue& a, const TaggedValue& b);

private:
    TaggedValue(Kind kind, double number);

    Kind m_kind = Kind::Empty;
    double m_number = 0;    // every numeric kind but currency
    std::int64_t m_raw = 0; // currency in ten-thousandths
    QString m_text;
};

// Parses text the way the platform converts a string to a number (blanks around it, a sign,
// digits with one decimal point, an exponent with E or D, &H and &O prefixes). Raises 13.
double parseNumber(QStringView text);

} // namespace storage
