// SPDX-License-Identifier: MIT
#include "ErrorOf.h"
#include "host/core/RuntimeError.h"
#include "storage/RecordFile.h"
#include "storage/TaggedValue.h"

#include <QRandomGenerator>
#include <QTest>

using storage::TaggedValue;
Q_DECLARE_METATYPE(TaggedValue)

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

} // namespace

class TestTaggedValue : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void decodeOtherFamilies_data();
    void decodeOtherFamilies();
    void decodeRefusesWhatDoesNotFit_data();
    void decodeRefusesWhatDoesNotFit();
    void toNumber_data();
    void toNumber();
    void comparisonWithLiteral_data();
    void comparisonWithLiteral();
    void generatedCorpusNeverCrashes();
};

void TestTaggedValue::encode_data() {
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty string") << TaggedValue::string(QString()) << hex("08000000");
    QTest::newRow("integer 1") << TaggedValue::integer(1) << hex("02000100");
    QTest::newRow("integer -2") << TaggedValue::integer(-2) << hex("0200feff");
    QTest::newRow("float 1440") << TaggedValue::single(1440.0f) << hex("04000000b444");
    QTest::newRow("float -15") << TaggedValue::single(-15.0f) << hex("0400000070c1");
    QTest::newRow("string in the code page")
        << TaggedValue::string(QStringLiteral("Disk €")) << hex("080006004469736b 2080");
    QTest::newRow("empty kind") << TaggedValue() << hex("0000");
}

void TestTaggedValue::encode() {
    QFETCH(TaggedValue, value);
    QFETCH(QByteArray, bytes);
    QCOMPARE(value.encode().toHex(' '), bytes.toHex(' '));
    QByteArray record = bytes;
    record.append(storage::kRecordLength - record.size(), '\0');
    QVERIFY(TaggedValue::decode(record) == value);
}

void TestTaggedValue::decodeOtherFamilies_data() {
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("3 long") << hex("0300a0860100") << 100000.0 << "100000";
    QTest::newRow("5 double") << hex("05000000000000000c40") << 3.5 << "3.5";
    QTest::newRow("6 currency") << hex("0600 3075000000000000") << 3.0 << "3";
    QTest::newRow("6 currency with fraction") << hex("0600 3930000000000000") << 1.2345 << "1.2345";
    QTest::newRow("7 date") << hex("0700 0000000000e0e240") << 38656.0 << "10/31/2005";
    QTest::newRow("11 boolean true") << hex("0b00ffff") << -1.0 << "True";
    QTest::newRow("11 boolean false") << hex("0b000000") << 0.0 << "False";
    QTest::newRow("17 byte") << hex("1100ff") << 255.0 << "255";
    QTest::newRow("4 float with fraction") << hex("04000000c03f") << 1.5 << "1.5";
    QTest::newRow("7 date and time")
        << hex("0700 000000000000f83f") << 1.5 << "12/31/1899 12:00:00 PM";
    QTest::newRow("4 float large") << hex("040020bc3e4b") << 12500000.0 << "1.25E+07";
}

void TestTaggedValue::decodeOtherFamilies() {
    QFETCH(QByteArray, record);
    QFETCH(double, number);
    QFETCH(QString, text);
    record.append(storage::kRecordLength - record.size(), '\0');
    const TaggedValue value = TaggedValue::decode(record);
    QVERIFY(!value.isEmpty());
    QCOMPARE(value.toNumber(), number);
    QCOMPARE(value.toText(), text);
}

void TestTaggedValue::decodeRefusesWhatDoesNotFit_data() {
    QTest::addColumn<QByteArray>("record");
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("half a type code") << hex("08");
    QTest::newRow("string without length") << hex("0800");
    QTest::newRow("string longer than the record") << hex("0800ff00") + QByteArray(124, 'x');
    QTest::newRow("string length 125") << hex("08007d00") + QByteArray(124, 'x');
    QTest::newRow("unknown type code") << hex("0900") + QByteArray(126, 'x');
    QTest::newRow("null") << hex("0100") + QByteArray(126, 'x');
    QTest::newRow("array flag") << hex("0220") + QByteArray(126, 'x');
    QTest::newRow("truncated double") << hex("05000000");
}

void TestTaggedValue::decodeRefusesWhatDoesNotFit() {
    QFETCH(QByteArray, record);
    QVERIFY(TaggedValue::decode(record).isEmpty());
}

void TestTaggedValue::toNumber_data() {
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<double>("number");
    QTest::addColumn<int>("error");
    QTest::newRow("empty") << TaggedValue() << 0.0 << 0;
    QTest::newRow("integer") << TaggedValue::integer(-7) << -7.0 << 0;
    QTest::newRow("float") << TaggedValue::single(2262.5f) << 2262.5 << 0;
    QTest::newRow("text") << TaggedValue::string(" 1440 ") << 1440.0 << 0;
    QTest::newRow("text decimal") << TaggedValue::string("-12.5") << -12.5 << 0;
    QTest::newRow("text exponent") << TaggedValue::string("1.5E3") << 1500.0 << 0;
    QTest::newRow("text D exponent") << TaggedValue::string("2d2") << 200.0 << 0;
    QTest::newRow("text hex") << TaggedValue::string("&H10") << 16.0 << 0;
    QTest::newRow("text hex negative") << TaggedValue::string("&HFFFF") << -1.0 << 0;
    QTest::newRow("text octal") << TaggedValue::string("&O17") << 15.0 << 0;
    QTest::newRow("text leading point") << TaggedValue::string(".5") << 0.5 << 0;
    QTest::newRow("empty text") << TaggedValue::string("") << 0.0 << 13;
    QTest::newRow("word") << TaggedValue::string("left") << 0.0 << 13;
    QTest::newRow("trailing junk") << TaggedValue::string("12px") << 0.0 << 13;
    QTest::newRow("bare sign") << TaggedValue::string("-") << 0.0 << 13;
    QTest::newRow("two points") << TaggedValue::string("1.2.3") << 0.0 << 13;
    QTest::newRow("too large for a double") << TaggedValue::string("1E400") << 0.0 << 6;
}

void TestTaggedValue::toNumber() {
    QFETCH(TaggedValue, value);
    QFETCH(double, number);
    QFETCH(int, error);
    double result = 0;
    QCOMPARE(errorOf([&] { result = value.toNumber(); }), error);
    if (error == 0)
        QCOMPARE(result, number);
}

void TestTaggedValue::comparisonWithLiteral_data() {
    QTest::addColumn<TaggedValue>("value");
    QTest::addColumn<bool>("equalsOne");
    QTest::newRow("integer 1") << TaggedValue::integer(1) << true;
    QTest::newRow("string 1") << TaggedValue::string("1") << true;
    QTest::newRow("float 1") << TaggedValue::single(1.0f) << true;
    QTest::newRow("long 1") << TaggedValue::longInteger(1) << true;
    QTest::newRow("integer 0") << TaggedValue::integer(0) << false;
    QTest::newRow("empty") << TaggedValue() << false;
    QTest::newRow("string 1 with blank") << TaggedValue::string("1 ") << false;
    QTest::newRow("boolean true") << TaggedValue::boolean(true) << false;
}

void TestTaggedValue::comparisonWithLiteral() {
    QFETCH(TaggedValue, value);
    QFETCH(bool, equalsOne);
    QCOMPARE(value.equals(u"1"), equalsOne);
    QCOMPARE(TaggedValue().toText(), QString());
}

void TestTaggedValue::generatedCorpusNeverCrashes() {
    // Valid records of every kind, then random mutations of them and random bytes: decoding
    // must always give a value, and re-encoding a decoded value must decode to the same.
    const QList<QByteArray> seeds = {hex("08000300616263"),
                                     hex("02000100"),
                                     hex("04000000b444"),
                                     hex("0300a0860100"),
                                     hex("05000000000000000c40"),
                                     hex("0600 3075000000000000"),
                                     hex("0700 0000000000e0e240"),
                                     hex("0b00ffff"),
                                     hex("1100ff"),
                                     hex("0000")};
    QRandomGenerator random(20261208);
    int decodedNonEmpty = 0;
    for (int round = 0; round < 200000; ++round) {
        QByteArray record = seeds[round % seeds.size()];
        const int mutations = int(random.bounded(6));
        for (int m = 0; m < mutations; ++m) {
            const int at = int(random.bounded(qMax<qsizetype>(1, record.size())));
            switch (random.bounded(4)) {
            case 0:
                if (!record.isEmpty())
                    record[at] = char(random.bounded(256));
                break;
            case 1:
                record.insert(at, char(random.bounded(256)));
                break;
            case 2:
                if (!record.isEmpty())
                    record.remove(at, 1);
                break;
            default:
                record.append(QByteArray(int(random.bounded(130)), char(random.bounded(256))));
            }
        }
        record.truncate(int(random.bounded(140)));
        const TaggedValue value = TaggedValue::decode(record);
        if (value.isEmpty())
            continue;
        ++decodedNonEmpty;
        (void)value.toText();
        try {
            (void)value.toNumber();
        } catch (const host::RuntimeError& error) {
            QVERIFY(error.number() == 13 || error.number() == 6);
        }
        const QByteArray again = value.encode();
        QVERIFY(again.size() <= storage::kRecordLength);
        QVERIFY(TaggedValue::decode(again) == value);
    }
    QVERIFY(decodedNonEmpty > 1000);
}

QTEST_GUILESS_MAIN(TestTaggedValue)
#include "tst_taggedvalue.moc"
