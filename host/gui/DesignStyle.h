// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

namespace host {

// The desktop's style, with two allowances for the forms' fixed places: a text box keeps room
// for a whole line of its font where the style's frame would cut it (Adwaita's frame is wider
// than the 19 pixels of the design's boxes allow), and a tab strip with a design height
// (property kDesignHeight) keeps its tabs within it, so the page below keeps its place.
class DesignStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr char kDesignHeight[] = "vortleDesignHeight";

    using QProxyStyle::QProxyStyle;

    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override;
};

// Wraps the application's style, whichever the desktop chose, in a DesignStyle.
void useDesignStyle();

} // namespace host
