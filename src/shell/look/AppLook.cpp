#include "AppLook.h"

#include "FrameStyle.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace AppLook {

void apply() {
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    // Fusion's light palette whatever the desktop's colour scheme: the screens draw their own
    // backgrounds, and a dark scheme's text colour would vanish on them.
    QPalette palette = QApplication::style()->standardPalette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, QColor(FrameStyle::TitleColor));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Link, QColor(FrameStyle::TitleColor));
    }
    QApplication::setPalette(palette);
    // Without it Chinese text falls back to Japanese glyph forms.
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Noto Sans CJK SC"));
    QApplication::setFont(font);
}

} // namespace AppLook
