// SPDX-License-Identifier: MIT
// The windows' pictures at the screen's scale (QT_SCALE_FACTOR 1 and 2, one run each): drawn
// for it, at the same logical size, and screenshots of them in the test output.
#include "Ctl.h"
#include "HookRecorders.h"
#include "TestPrefix.h"

#include "forms/app/Info.h"
#include "forms/app/Main.h"
#include "forms/app/StartUp.h"
#include "host/gui/DesignStyle.h"
#include "host/gui/FormInstance.h"
#include "resources/Pictures.h"

#include <QDir>
#include <QLabel>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTest>

class TestArtwork : public QObject {
    Q_OBJECT
private slots:
    void picturesAreDrawnForTheScreen() {
        TestPrefix prefix;
        MessageBoxRecorder boxes;
        const qreal scale = qApp->devicePixelRatio();
        const QString shots = qEnvironmentVariable("VORTLE_BIN") + "/../screenshots";
        QDir().mkpath(shots);
        StartUp splash;
        Main* main = host::FormInstance<Main>::show();
        Info* info = host::FormInstance<Info>::show();
        const QList<QPair<QWidget*, QLabel*>> windows = {{&splash, ctl<QLabel>(&splash, "Image1")},
                                                         {main, ctl<QLabel>(main, "Picture1")},
                                                         {info, ctl<QLabel>(info, "Picture1")}};
        for (const auto& [window, picture] : windows) {
            QCOMPARE(picture->pixmap().devicePixelRatio(), scale);
            QVERIFY(window->grab().save(QStringLiteral("%1/%2-%3x.png")
                                            .arg(shots, window->objectName().isEmpty()
                                                            ? window->metaObject()->className()
                                                            : window->objectName())
                                            .arg(scale)));
        }
        delete info;
        delete main;
    }

    // Under a style whose frames and tabs are larger than the design allows (as Adwaita's), a
    // text box of the design's height keeps room for its line, and a tab strip its height.
    void controlsKeepTheirTextUnderLargerStyles() {
        struct LargeStyle : QProxyStyle {
            using QProxyStyle::QProxyStyle;
            QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                   const QWidget* widget) const override {
                const QSize base = QProxyStyle::sizeFromContents(type, option, size, widget);
                return type == CT_TabBarTab ? QSize(base.width(), 60) : base;
            }
        };
        host::DesignStyle style(new LargeStyle(QStringLiteral("Fusion")));
        QStyleOptionFrame box;
        box.rect = QRect(0, 0, 289, 19);
        box.lineWidth = 6;
        box.fontMetrics = QFontMetrics(QApplication::font());
        QVERIFY(style.subElementRect(QStyle::SE_LineEditContents, &box, nullptr).height() >=
                box.fontMetrics.height());
        QTabBar strip;
        strip.setProperty(host::DesignStyle::kDesignHeight, 24);
        strip.setStyle(&style);
        strip.addTab(QStringLiteral("Name and Icon"));
        QCOMPARE(strip.sizeHint().height(), std::max(24, box.fontMetrics.height() + 4));
    }

    // A black outline on a dark window gets a light edge; on a light window nothing changes.
    void picturesKeepTheirOutlinesOnDarkWindows() {
        QImage outline(16, 16, QImage::Format_ARGB32);
        outline.fill(Qt::transparent);
        outline.setPixel(8, 8, qRgb(0, 0, 0));
        const QPixmap picture = QPixmap::fromImage(outline);
        QCOMPARE(Pictures::onBackground(picture, Qt::white).toImage(), picture.toImage());
        const QImage dark = Pictures::onBackground(picture, QColor(40, 40, 40)).toImage();
        QCOMPARE(dark.pixel(8, 8), qRgb(0, 0, 0));
        QVERIFY(qGray(dark.pixel(9, 9)) > 200 && qAlpha(dark.pixel(9, 9)) == 255);
        QCOMPARE(qAlpha(dark.pixel(11, 8)), 0);
    }
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
