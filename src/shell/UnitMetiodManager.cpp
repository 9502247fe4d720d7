#include "UnitMetiodManager.h"

#include "SettingsStore.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRemembered, "teacher.settings.login")

namespace {
const QString ShowGuideKey = QStringLiteral("showGuide");
const QString LoginGroup = QStringLiteral("userLoginModel");
const QString PhoneKey = QStringLiteral("loginPhoneNum");
const QString PasswordKey = QStringLiteral("loginPassword");
const QString AutoLoginKey = QStringLiteral("isAutoLogin");

// An INI file gives every value back as text (or a list when hand-edited with commas). A bool is
// read strictly: QVariant::toBool() would take "maybe" for true.
std::optional<bool> readBool(const QVariant &value) {
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool();
    if (value.metaType().id() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString().trimmed().toLower();
    if (text == u"true" || text == u"1")
        return true;
    if (text == u"false" || text == u"0")
        return false;
    return std::nullopt;
}

std::optional<QString> readText(const QVariant &value) {
    if (value.metaType().id() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}
} // namespace

bool UnitMetiodManager::saveTheUserPhoneNumAndPassword(const LoginDataModel &model) {
    QSettings &s = SettingsStore::settings();
    // Replace the whole record, including any stray keys a hand edit left in the group.
    s.remove(LoginGroup);
    s.beginGroup(LoginGroup);
    s.setValue(PhoneKey, model.loginPhoneNum);
    s.setValue(PasswordKey, model.loginPassword);
    s.setValue(AutoLoginKey, model.isAutoLogin);
    s.endGroup();
    return SettingsStore::flush();
}

std::optional<LoginDataModel> UnitMetiodManager::getTheSavedUserPhoneNumAndPassword() {
    QSettings &s = SettingsStore::settings();
    s.beginGroup(LoginGroup);
    const QVariant phone = s.value(PhoneKey);
    const QVariant password = s.value(PasswordKey);
    const QVariant autoLogin = s.value(AutoLoginKey);
    s.endGroup();
    if (!phone.isValid() && !password.isValid() && !autoLogin.isValid())
        return std::nullopt;

    const std::optional<QString> phoneText = readText(phone);
    const std::optional<QString> passwordText = readText(password);
    const std::optional<bool> autoFlag = readBool(autoLogin);
    if (!phoneText || !passwordText || !autoFlag) {
        qCWarning(lcRemembered) << "the remembered login in" << s.fileName()
                                << "is damaged; ignoring it";
        return std::nullopt;
    }
    return LoginDataModel::rememberLoginPhoneNum(*phoneText, *passwordText, *autoFlag);
}

bool UnitMetiodManager::removeTheUserPhoneNumAndPassword() {
    QSettings &s = SettingsStore::settings();
    s.remove(LoginGroup);
    return SettingsStore::flush();
}

bool UnitMetiodManager::saveShowGuideKey(bool shown) {
    SettingsStore::settings().setValue(ShowGuideKey, shown);
    return SettingsStore::flush();
}

bool UnitMetiodManager::getShowGuideKey() {
    return readBool(SettingsStore::settings().value(ShowGuideKey)).value_or(false);
}
