#include "StyleTokens.h"

#include "FrameLog.h"
#include "FrameStyle.h"

#include <QColor>
#include <QRegularExpression>
#include <QStyle>
#include <QWidget>

namespace StyleTokens {

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

} // namespace StyleTokens
