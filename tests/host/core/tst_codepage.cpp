// SPDX-License-Identifier: MIT
#include "host/core/CodePage.h"

#include <QTest>

class TestCodePage : public QObject {
    Q_OBJECT
private slots:
    void toAnsi_data();
    void toAnsi();
    void everyByteRoundTrips();
};

void TestCodePage::toAnsi_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("Disk 1") << QByteArray("Disk 1");
    QTest::newRow("latin-1 umlaut") << QStringLiteral("Lüfter")
                                    << QByteArray("L\xFC"
                                                  "fter");
    QTest::newRow("euro sign") << QStringLiteral("5 €") << QByteArray("5 \x80");
    QTest::newRow("quotes and dash")
        << QStringLiteral("\u201Cx\u201D \u2013") << QByteArray("\x93x\x94 \x96");
    QTest::newRow("not in the code page") << QStringLiteral("Жx") << QByteArray("?x");
    QTest::newRow("outside the BMP is one character")
        << QStringLiteral("a\U0001F4BEb") << QByteArray("a?b");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestCodePage::toAnsi() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(host::toAnsi(text), bytes);
}

void TestCodePage::everyByteRoundTrips() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = host::fromAnsi(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text[0x80], QChar(0x20AC));
    QCOMPARE(text[0x81], QChar(0x81)); // undefined bytes keep their C1 value
    QCOMPARE(text[0x9F], QChar(0x178));
    QCOMPARE(text[0xE9], QChar(0xE9));
    QCOMPARE(host::toAnsi(text), all);
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
