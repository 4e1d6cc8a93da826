// SPDX-License-Identifier: MIT
#include "Controls.h"

namespace host {

QLabel* pictureBox(QWidget* parent, const char* name, const QPixmap& picture, double left,
                   double top, double width, double height) {
    auto* box = placeControl(new QLabel(parent), name, left, top, width, height);
    box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box->setPixmap(picture);
    return box;
}

void setBackground(QWidget* control, const QColor& colour) {
    control->setAutoFillBackground(true);
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, colour);
    control->setPalette(palette);
}

QList<LineControl*> etchedSeparator(QWidget* parent, double x1, double x2, double greyY,
                                    double highlightY) {
    auto* grey = new LineControl(parent, LineControl::Colour::GreyText);
    grey->setLineTwips(x1, greyY, x2, greyY);
    auto* highlight = new LineControl(parent, LineControl::Colour::ButtonHighlight);
    highlight->setLineTwips(x1, highlightY, x2, highlightY);
    return {grey, highlight};
}

void setUpForm(QWidget* form, const QString& title, double widthTwips, double heightTwips,
               const QString& accessibleName) {
    form->setWindowTitle(title);
    form->setAccessibleName(accessibleName.isEmpty() ? title : accessibleName);
    setClientSizeTwips(form, widthTwips, heightTwips);
}

void setTabOrder(const QList<QWidget*>& order) {
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace host
