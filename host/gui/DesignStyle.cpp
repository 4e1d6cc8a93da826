// SPDX-License-Identifier: MIT
#include "DesignStyle.h"

#include <QApplication>
#include <QStyleOption>
#include <QWidget>

#include <algorithm>

namespace host {

QRect DesignStyle::subElementRect(SubElement element, const QStyleOption* option,
                                  const QWidget* widget) const {
    QRect rect = QProxyStyle::subElementRect(element, option, widget);
    if (element != SE_LineEditContents || !option)
        return rect;
    // The line the box shows, with room for descenders drawn at a scaled screen's own font
    // size, centred in the whole box where the style's frame leaves less.
    const int line = std::min(option->fontMetrics.height() + 4, option->rect.height());
    if (rect.height() < line) {
        rect.setTop(option->rect.top() + (option->rect.height() - line) / 2);
        rect.setHeight(line);
    }
    return rect;
}

QSize DesignStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                    const QSize& contents, const QWidget* widget) const {
    QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
    if (type == CT_TabBarTab && widget && option) {
        const QVariant design = widget->property(kDesignHeight);
        if (design.isValid())
            size.setHeight(std::min(size.height(),
                                    std::max(design.toInt(), option->fontMetrics.height() + 4)));
    }
    return size;
}

void useDesignStyle() {
    // The style in use itself, not one made again by its name: a style from a plugin or the
    // desktop's platform theme may not be made by name.
    QApplication::setStyle(new DesignStyle(QApplication::style()));
}

} // namespace host
