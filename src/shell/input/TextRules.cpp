#include "TextRules.h"

#include "FrameStyle.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <array>
#include <cmath>

namespace TextRules {

bool isMobileNumber(const QString &text) {
    // Tried in this order; the first accepts everything the others do, the others document the
    // carriers' ranges. \d takes every Unicode decimal digit, [0-9] only ASCII ones.
    static const std::array<QRegularExpression, 4> patterns = [] {
        const auto make = [](const char *body) {
            return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(body)),
                                      QRegularExpression::UseUnicodePropertiesOption);
        };
        return std::array<QRegularExpression, 4>{
            make("1([0-9])\\d{9}"),
            make("1(34[0-8]|(3[5-9]|47|5[017-9]|8[2378])\\d)\\d{7}"),
            make("1((33|53|8[09])[0-9]|349)\\d{7}"),
            make("1(3[0-2]|5[256]|8[56])\\d{8}"),
        };
    }();
    for (const QRegularExpression &re : patterns) {
        if (re.match(text).hasMatch())
            return true;
    }
    return false;
}

namespace {
bool sequenceIsEmoji(QStringView seq) {
    const char16_t hs = seq.at(0).unicode();
    if (hs >= 0xD800 && hs <= 0xDBFF) {
        if (seq.size() < 2)
            return false;
        const char16_t ls = seq.at(1).unicode();
        const int code = ((hs - 0xD800) * 0x400) + (ls - 0xDC00) + 0x10000;
        return code >= 0x1D000 && code <= 0x1F77F;
    }
    if (seq.size() >= 2)
        return seq.at(1).unicode() == 0x20E3;
    if (hs >= 0x2100 && hs <= 0x27FF)
        return hs != 0x263B;
    if ((hs >= 0x2B05 && hs <= 0x2B07) || (hs >= 0x2934 && hs <= 0x2935) ||
        (hs >= 0x3297 && hs <= 0x3299))
        return true;
    switch (hs) {
    case 0x00A9:
    case 0x00AE:
    case 0x303D:
    case 0x3030:
    case 0x2B55:
    case 0x2B1C:
    case 0x2B1B:
    case 0x2B50:
        return true;
    default:
        return false;
    }
}
} // namespace

bool isContainsEmoji(const QString &text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (start < text.size()) {
        finder.setPosition(start);
        qsizetype end = finder.toNextBoundary();
        if (end <= start)
            end = text.size();
        if (sequenceIsEmoji(QStringView(text).mid(start, end - start)))
            return true;
        start = end;
    }
    return false;
}

QString trim(const QString &text) {
    // QChar::isSpace is the Unicode white-space and line-break set (Z* categories, U+0009-U+000D,
    // U+0085).
    return text.trimmed();
}

QString replaceHomeAndEndWhiteCharter(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QSizeF textSizeWithFont(const QString &text, const QFont &font, const QSizeF &constrainedToSize,
                        Qt::TextElideMode) {
    // One layout for both cases, so a text that fits its limit measures the same as on one line.
    const bool oneLine = constrainedToSize.width() == 0 && constrainedToSize.height() == 0;
    const qreal maxWidth = constrainedToSize.width() > 0 ? constrainedToSize.width() : 1e9;
    const qreal maxHeight = constrainedToSize.height() > 0 ? constrainedToSize.height() : 1e9;
    const qreal leading = qMax<qreal>(QFontMetricsF(font).leading(), 0);

    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(oneLine ? QTextOption::NoWrap : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal width = 0;
    qreal height = 0;
    for (int lines = 0;; ++lines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(maxWidth);
        const qreal lineHeight = line.height() + leading;
        // The last visible line is the one before: it is truncated, not followed.
        if (lines > 0 && (oneLine || height + lineHeight > maxHeight))
            break;
        line.setPosition(QPointF(0, height));
        height += lineHeight;
        width = qMax(width, qMin(line.naturalTextWidth(), maxWidth));
    }
    layout.endLayout();
    return QSizeF(width, height);
}

namespace {
int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}
} // namespace

QColor colorWithHexString(const QString &text) {
    if (text.isEmpty())
        return QColor(Qt::black);
    for (QChar c : text) {
        if (c.unicode() > 0x7F)
            return QColor(Qt::black);
    }
    const QStringView rest = text.startsWith(u'#') ? QStringView(text).mid(1) : QStringView(text);
    // Digits are read from the start up to the first non-digit; a value too large for 32 bits
    // saturates, as a scanner of unsigned 32-bit values does.
    quint64 value = 0;
    for (QChar c : rest) {
        const int digit = hexDigit(c.unicode());
        if (digit < 0)
            break;
        value = qMin<quint64>(value * 16 + quint64(digit), 0xFFFFFFFFull);
    }
    const quint32 v = quint32(value);
    switch (rest.size()) {
    case 6:
        return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, 255);
    case 3:
        return QColor(((v >> 8) & 0xF) * 17, ((v >> 4) & 0xF) * 17, (v & 0xF) * 17, 255);
    case 2:
        return QColor(v & 0xFF, v & 0xFF, v & 0xFF, 255);
    default:
        return QColor((v >> 24) & 0xFF, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
}

QColor colorWithHex(quint32 rgb) {
    return colorWithHex(rgb, 1.0);
}

QColor colorWithHex(quint32 rgb, double alpha) {
    QColor c((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    c.setAlphaF(float(qBound(0.0, alpha, 1.0)));
    return c;
}

quint32 hexValue(const QColor &color) {
    const QColor rgb = color.toRgb();
    const auto byte = [](float component) {
        return quint32(std::trunc(qBound(0.0, double(component), 1.0) * 255.0));
    };
    return (byte(rgb.redF()) << 16) | (byte(rgb.greenF()) << 8) | byte(rgb.blueF());
}

int deviceModel(const QSize &screenSize, DeviceOrientation orientation, bool tablet) {
    if (tablet)
        return 4;
    int across = 0;
    int along = 0;
    switch (orientation) {
    case DeviceOrientation::Portrait:
    case DeviceOrientation::PortraitUpsideDown:
        across = screenSize.width();
        along = screenSize.height();
        break;
    case DeviceOrientation::LandscapeLeft:
    case DeviceOrientation::LandscapeRight:
        across = screenSize.height();
        along = screenSize.width();
        break;
    case DeviceOrientation::Unknown:
        return 5;
    }
    if (across == 320)
        return along == 480 ? 0 : 1;
    if (across == 375)
        return 2;
    if (across == 414)
        return 3;
    return 5;
}

int deviceModel() {
    return DeviceProfile::current().deviceModel();
}

namespace {
const char *const BorderProperty = "selectedNormalBorder";

// Draws the hairline over the button, whatever its style, and lets every click through.
class SelectionBorder : public QWidget {
public:
    explicit SelectionBorder(QAbstractButton *button)
        : QWidget(button) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setObjectName(QStringLiteral("selectedNormalBorder"));
        button->installEventFilter(this);
        setGeometry(button->rect());
        show();
    }
    QColor color;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Resize)
            setGeometry(static_cast<QWidget *>(watched)->rect());
        return false;
    }
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(color, 0.5));
        p.drawRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25));
    }
};
} // namespace

void setSelectedNormal(QAbstractButton *button, bool selected) {
    if (!button)
        return;
    button->setCheckable(true);
    button->setChecked(selected);
    auto *border = button->findChild<SelectionBorder *>(QStringLiteral("selectedNormalBorder"),
                                                        Qt::FindDirectChildrenOnly);
    if (!border)
        border = new SelectionBorder(button);
    border->color = selected ? QColor(FrameStyle::SelectedRed) : QColor(Qt::lightGray);
    border->raise();
    border->update();
    button->setProperty(BorderProperty, border->color);
}

QColor selectedNormalBorderColor(const QAbstractButton *button) {
    return button ? button->property(BorderProperty).value<QColor>() : QColor();
}

std::optional<QString> checkPhone(const QString &phone) {
    if (phone.isEmpty())
        return QCoreApplication::translate("TextRules", "请输入手机号");
    if (!isMobileNumber(phone))
        return QCoreApplication::translate("TextRules", "请输入正确的手机号");
    return std::nullopt;
}

std::optional<QString> checkVerificationCode(const QString &code) {
    if (code.isEmpty())
        return QCoreApplication::translate("TextRules", "请输入验证码");
    return std::nullopt;
}

std::optional<QString> checkOldPassword(const QString &oldPassword) {
    if (oldPassword.isEmpty())
        return QCoreApplication::translate("TextRules", "请确认旧密码");
    return std::nullopt;
}

std::optional<QString> checkNewPassword(const QString &newPassword) {
    if (newPassword.isEmpty())
        return QCoreApplication::translate("TextRules", "请输入新密码");
    if (newPassword.size() < MinPasswordLength)
        return QCoreApplication::translate("TextRules", "请输入6-20位密码");
    return std::nullopt;
}

std::optional<QString> checkConfirmation(const QString &newPassword, const QString &confirmation) {
    if (confirmation.isEmpty())
        return QCoreApplication::translate("TextRules", "请确认新密码");
    if (confirmation != newPassword)
        return QCoreApplication::translate("TextRules", "两次密码不一致");
    return std::nullopt;
}

QString cutToMaxPasswordLength(const QString &text) {
    if (text.size() < MaxPasswordLength)
        return text;
    // Never keep half of a surrogate pair: that would store a broken character.
    qsizetype keep = MaxPasswordLength;
    if (text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep);
}

void cutFieldToMaxPasswordLength(QLineEdit *field) {
    if (!field)
        return;
    const QString text = field->text();
    const QString cut = cutToMaxPasswordLength(text);
    if (cut == text)
        return;
    const int cursor = qMin<int>(field->cursorPosition(), int(cut.size()));
    field->setText(cut);
    field->setCursorPosition(cursor);
}

} // namespace TextRules
