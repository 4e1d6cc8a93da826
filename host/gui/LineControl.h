// SPDX-License-Identifier: MIT
#pragma once

#include <QPalette>
#include <QWidget>

namespace host {

// A line control: one pixel wide, horizontal or vertical, in a system colour.
class LineControl : public QWidget {
    Q_OBJECT

public:
    enum class Colour { GreyText, ButtonHighlight };

    LineControl(QWidget* parent, Colour colour);

    // End points in twips of the parent's client area; the line runs from the first to the
    // second point, as the platform draws it (the end point itself is left out).
    void setLineTwips(double x1, double y1, double x2, double y2);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Colour m_colour;
};

} // namespace host
