#include "SettingModel.h"

#include "SettingsStore.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <optional>

Q_LOGGING_CATEGORY(lcServiceNumbers, "teacher.settings.service")

namespace {

const QString DefaultHotline = QStringLiteral("400-800-6060");
const QString DefaultLandline = QStringLiteral("0571-88886060");
const QString DefaultExtension = QStringLiteral("8001");
// Both languages' names at once, so a teacher who cannot read the current one finds the row.
const QString LanguageRowName = QStringLiteral("语言 / Language"); // notr
// The settings file's own word for an extension, never shown as such.
const QString ExtensionMark = QStringLiteral("转"); // notr

// What a "tel:" link is given: digits in groups joined by hyphens (an international number
// starts with "00"). Anything else (letters, spaces, a second URL) is a typing slip or worse.
bool isDialable(const QString &number) {
    static const QRegularExpression rule(QStringLiteral("^[0-9]+(-[0-9]+)*$"));
    return number.size() <= 32 && rule.match(number).hasMatch();
}

bool isExtension(const QString &extension) {
    static const QRegularExpression rule(QStringLiteral("^[0-9]{1,8}$"));
    return rule.match(extension).hasMatch();
}

// The INI file gives a value with a comma back as a list: "0571-88886060, 8001" is read as the
// number and the extension, the way a hand edit most likely meant it.
std::optional<QStringList> readParts(const QVariant &value) {
    if (value.metaType().id() == QMetaType::QString)
        return QStringList{value.toString()};
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList();
    return std::nullopt;
}

} // namespace

// The names are source texts: SettingRows translates them when it shows them, so a menu made
// before a language change still speaks the new language.
QList<SettingModel> SettingModel::arrayForPersonalCenter() {
    return {
        {QString::fromUtf8(QT_TRANSLATE_NOOP("SettingModel", "个人资料")),
         {},
         QStringLiteral("user_detail_icon"),
         100},
        {QString::fromUtf8(QT_TRANSLATE_NOOP("SettingModel", "我的收藏")),
         {},
         QStringLiteral("collect_icon"),
         101},
        {QString::fromUtf8(QT_TRANSLATE_NOOP("SettingModel", "系统设置")),
         {},
         QStringLiteral("user_set_icon"),
         102},
    };
}

QList<SettingModel> SettingModel::arrayForSetting() {
    return {
        {QString::fromUtf8(QT_TRANSLATE_NOOP("SettingModel", "修改密码")),
         {},
         QStringLiteral("user_change_icon"),
         100},
        {QString::fromUtf8(QT_TRANSLATE_NOOP("SettingModel", "修改手机号")),
         {},
         QStringLiteral("user_phone_icon"),
         102},
        {QString::fromUtf8(QT_TRANSLATE_NOOP("SettingModel", "帮助与客服")),
         {},
         QStringLiteral("user_help_icon"),
         101},
        {LanguageRowName, {}, QStringLiteral("user_set_icon"), LanguageTag},
    };
}

QString SettingModel::displayName() const {
    // The language row reads the same in every language, so whoever cannot read this one finds it.
    if (settingTag == LanguageTag)
        return settingName;
    return QCoreApplication::translate("SettingModel", settingName.toUtf8().constData());
}

QList<SettingModel> SettingModel::arrayForHelpService() {
    return arrayForHelpService(ServiceNumbers::configured());
}

QList<SettingModel> SettingModel::arrayForHelpService(const ServiceNumbers &numbers) {
    return {
        {numbers.hotline, {}, QStringLiteral("user_help_icon"), 100},
        {numbers.landlineLabel(), {}, QStringLiteral("user_phone_icon"), 101},
    };
}

ServiceNumbers ServiceNumbers::configured() {
    ServiceNumbers numbers{DefaultHotline, DefaultLandline, DefaultExtension};
    const QSettings &settings = SettingsStore::settings();

    if (const QVariant value = settings.value(HotlineKey); value.isValid()) {
        const QString hotline = value.toString().trimmed();
        if (value.metaType().id() == QMetaType::QString && isDialable(hotline))
            numbers.hotline = hotline;
        else
            qCWarning(lcServiceNumbers) << HotlineKey << "is not a telephone number:" << value
                                        << "; using" << DefaultHotline;
    }

    if (const QVariant value = settings.value(LandlineKey); value.isValid()) {
        std::optional<QStringList> parts = readParts(value);
        if (parts && parts->size() == 1)
            *parts = parts->first().split(ExtensionMark);
        const QString number = parts ? parts->value(0).trimmed() : QString();
        const QString extension = parts ? parts->value(1).trimmed() : QString();
        const bool valid = parts && parts->size() <= 2 && isDialable(number) &&
                           (parts->size() == 1 || isExtension(extension));
        if (valid) {
            numbers.landline = number;
            numbers.extension = extension;
        } else {
            qCWarning(lcServiceNumbers)
                << LandlineKey << "is not a telephone number with an optional extension:" << value
                << "; using" << numbers.landlineLabel();
        }
    }
    return numbers;
}

QString ServiceNumbers::landlineLabel() const {
    // The configured value spells the extension with "转"; the label says it in the teacher's
    // language.
    //: A telephone number (%1) and its extension (%2).
    return extension.isEmpty()
               ? landline
               : QCoreApplication::translate("ServiceNumbers", "%1转%2").arg(landline, extension);
}
