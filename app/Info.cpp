#include "Info.h"

#include "Pictures.h"

#include "host/ClassicFont.h"
#include "host/Twips.h"
#include "host/WindowPos.h"

#include <QLabel>

Info::Info(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Info"));
    setAccessibleName(QStringLiteral("Info"));
    setWindowIcon(Pictures::icon(QStringLiteral("sphere.ico")));
    host::setClientSizeTwips(this, 4335, 3990);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAutoFillBackground(true);
    QPalette white = Label1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Label1->setPalette(white);
    host::placeTwips(Label1, 120, 120, 735, 2415);

    Label2 = new QLabel(QStringLiteral("Vortle"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont title = host::classicFont();
    title.setBold(true);
    Label2->setFont(title);
    host::placeTwips(Label2, 1080, 120, 2415, 255);

    Label6 = new QLabel(QStringLiteral("Version: 2.0"), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    host::placeTwips(Label6, 1080, 600, 2655, 255);

    // The picture box lies above the label; the sphere sits inside it.
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(Pictures::picture(QStringLiteral("infostrip.bmp")));
    host::placeTwips(Picture1, 120, 1800, 735, 2055);

    Image1 = new QLabel(Picture1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(Pictures::picture(QStringLiteral("sphere.ico")));
    host::placeTwips(Image1, 120, 1440, 480, 480);

    // Centred on the screen each time it is loaded.
    host::centreOnScreen(this);
}
