#include "StyleTokens.h"

#include "FrameLog.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QFont>
#include <QPalette>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

namespace StyleTokens {

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

namespace {

const QLatin1String TokenStart("frame(");

QString styleColor(QRgb rgba) {
    if (qAlpha(rgba) == 255)
        return QColor(rgba).name();
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(qRed(rgba))
        .arg(qGreen(rgba))
        .arg(qBlue(rgba))
        .arg(qAlpha(rgba));
}

} // namespace

QString expand(const QString &sheet, QStringList *unknown) {
    if (!sheet.contains(TokenStart))
        return sheet;
    static const QRegularExpression token(
        QStringLiteral("frame\\(\\s*([A-Za-z][A-Za-z0-9]*)\\s*\\)"));
    QString out;
    qsizetype done = 0;
    for (const QRegularExpressionMatch &m : token.globalMatch(sheet)) {
        out += QStringView(sheet).mid(done, m.capturedStart() - done);
        done = m.capturedEnd();
        const QString name = m.captured(1);
        const auto *hit = std::find_if(
            std::begin(FrameStyle::StyleColors), std::end(FrameStyle::StyleColors),
            [&](const FrameStyle::NamedColor &c) { return name == QLatin1String(c.token); });
        if (hit == std::end(FrameStyle::StyleColors)) {
            if (unknown)
                unknown->append(name);
            out += m.captured(0);
        } else {
            out += styleColor(hit->rgba);
        }
    }
    out += QStringView(sheet).mid(done);
    return out;
}

void expandTree(QWidget *root) {
    if (!root)
        return;
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    QList<QWidget *> changed;
    for (QWidget *w : std::as_const(widgets)) {
        const QString sheet = w->styleSheet();
        if (!sheet.contains(TokenStart))
            continue;
        QStringList unknown;
        const QString expanded = expand(sheet, &unknown);
        w->setStyleSheet(expanded);
        changed.append(w);
        for (const QString &name : std::as_const(unknown))
            qCWarning(lcFrame) << "unknown colour name in the style sheet of" << w->objectName()
                               << ":" << name;
    }
    // Qt keeps what it made of a parent's unreadable sheet while a child's sheet is also
    // replaced: the parent's border stayed undrawn. Polishing them again reads the new sheets.
    for (QWidget *w : std::as_const(changed)) {
        w->style()->unpolish(w);
        w->style()->polish(w);
    }
}

QString buttonSheet(bool primary) {
    return expand(
        primary
            ? QStringLiteral(
                  "QPushButton { background: frame(title); color: frame(white);"
                  " border: 2px solid frame(title); border-radius: 6px;"
                  " font-size: 15px; padding: 4px 12px; }"
                  " QPushButton:pressed { background: frame(titlePressed); }"
                  " QPushButton:disabled { background: frame(paleLine);"
                  " border-color: frame(paleLine); }"
                  " QPushButton[keyboardFocus=\"true\"] { border-color: frame(titleGlow); }")
            : QStringLiteral(
                  "QPushButton { background: frame(white); color: frame(title);"
                  " border: 1px solid frame(title); border-radius: 6px;"
                  " font-size: 15px; padding: 4px 12px; }"
                  " QPushButton:hover { background: frame(selection); }"
                  " QPushButton:pressed { background: frame(pressedRow); }"
                  " QPushButton:disabled { color: frame(faded); border-color: frame(paleLine); }"
                  " QPushButton[keyboardFocus=\"true\"] { border: 2px solid frame(titleGlow); }"));
}

namespace {
class KeyboardFocusMark : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
            return false;
        // Qt marks the window when Tab or a shortcut moves the focus, not when a screen opens.
        auto *widget = static_cast<QWidget *>(watched);
        const bool marked = event->type() == QEvent::FocusIn &&
                            widget->window()->testAttribute(Qt::WA_KeyboardFocusChange);
        if (widget->property("keyboardFocus").toBool() != marked) {
            widget->setProperty("keyboardFocus", marked);
            widget->style()->unpolish(widget);
            widget->style()->polish(widget);
            widget->update();
        }
        return false;
    }
};
} // namespace

void markKeyboardFocus(QWidget *widget) {
    if (widget)
        widget->installEventFilter(new KeyboardFocusMark(widget));
}

} // namespace StyleTokens
