#pragma once

#include "DeviceProfile.h"

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <QString>

#include <optional>

class QAbstractButton;
class QLineEdit;

// Small stateless rules shared by the screens. Lengths are UTF-16 code units, as QString counts.
namespace TextRules {

// "1", one ASCII digit, then nine decimal digits of any script: eleven characters, nothing more
// (not even a trailing line break), untrimmed.
bool isMobileNumber(const QString &text);

// Whether one user-perceived character of the text falls in the emoji ranges the client knows.
bool isContainsEmoji(const QString &text);

// Without leading and trailing Unicode white space and line breaks.
QString trim(const QString &text);

// Without leading and trailing U+0020 only; tabs, line breaks and other spaces stay.
QString replaceHomeAndEndWhiteCharter(const QString &text);

// Room the text needs. A limit of zero in both directions measures one line; otherwise the text
// is wrapped to the limit's width and cut after the last line that fits its height (at least one
// line). A limit of zero or less in one direction leaves that direction unbounded. The line-break
// mode is accepted for the callers' sake and changes nothing. Not rounded.
QSizeF textSizeWithFont(const QString &text, const QFont &font, const QSizeF &constrainedToSize,
                        Qt::TextElideMode lineBreakMode = Qt::ElideNone);

// "#RRGGBB", "RGB", "GG" (grey) or "RRGGBBAA"; opaque black for an empty text or one with
// characters outside ASCII.
QColor colorWithHexString(const QString &text);
QColor colorWithHex(quint32 rgb);
QColor colorWithHex(quint32 rgb, double alpha);
// Red, green and blue, each times 255 and truncated, as 0xRRGGBB.
quint32 hexValue(const QColor &color);

// Device class: 0 phone 320×480, 1 phone 320 wide of another height, 2 phone 375 wide, 3 phone
// 414 wide, 4 tablet, 5 anything else or an unknown orientation. The size is in portrait terms
// as the platform gives it for the orientation (landscape swaps the roles).
int deviceModel(const QSize &screenSize, DeviceOrientation orientation, bool tablet);
// The class of the device the client runs as (DeviceProfile::current()).
int deviceModel();

// Marks a selectable button: checked state plus a 0.5 px border, red "E81D1D" when selected and
// light grey otherwise.
void setSelectedNormal(QAbstractButton *button, bool selected);
// The border colour setSelectedNormal last drew on the button; invalid when never called.
QColor selectedNormalBorderColor(const QAbstractButton *button);

// ---- account field rules: each gives the message of the first broken rule, or nothing ----
inline constexpr int MinPasswordLength = 6;
inline constexpr int MaxPasswordLength = 20;

std::optional<QString> checkPhone(const QString &phone);
std::optional<QString> checkVerificationCode(const QString &code);
std::optional<QString> checkOldPassword(const QString &oldPassword);
std::optional<QString> checkNewPassword(const QString &newPassword);
std::optional<QString> checkConfirmation(const QString &newPassword, const QString &confirmation);

// The typing limit of the new-password and confirmation fields: a text of 20 units or more is cut
// to its first 20.
QString cutToMaxPasswordLength(const QString &text);
// Applies the cut to a field when it is needed, keeping the cursor where it can stay.
void cutFieldToMaxPasswordLength(QLineEdit *field);

} // namespace TextRules
