#include "UnitMetiodManager.h"

#include "PasswordKeyring.h"
#include "Session.h"
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
    PasswordKeyring *keyring = Session::instance().keyring();
    s.beginGroup(LoginGroup);
    const std::optional<QString> previousPhone = readText(s.value(PhoneKey));
    // A password the file holds (from before the keyring, or because it did not answer) is kept
    // current there until the keyring has it.
    const bool fileHoldsPassword = s.contains(PasswordKey);
    s.endGroup();
    // Replace the whole record, including any stray keys a hand edit left in the group.
    s.remove(LoginGroup);
    s.beginGroup(LoginGroup);
    s.setValue(PhoneKey, model.loginPhoneNum);
    if (!keyring || fileHoldsPassword)
        s.setValue(PasswordKey, model.loginPassword);
    s.setValue(AutoLoginKey, model.isAutoLogin);
    s.endGroup();
    const bool written = SettingsStore::flush();
    if (!keyring)
        return written;

    static quint64 lastSave = 0;
    const quint64 save = ++lastSave;
    if (previousPhone && *previousPhone != model.loginPhoneNum)
        keyring->store(*previousPhone, QString(), [](bool) {});
    keyring->store(model.loginPhoneNum, model.loginPassword, [save, model](bool stored) {
        if (save != lastSave)
            return; // a later save decides where the password lives
        QSettings &settings = SettingsStore::settings();
        settings.beginGroup(LoginGroup);
        const bool same = readText(settings.value(PhoneKey)) == model.loginPhoneNum;
        if (same && stored)
            settings.remove(PasswordKey);
        else if (same && !stored)
            settings.setValue(PasswordKey, model.loginPassword);
        settings.endGroup();
        if (same) {
            qCDebug(lcRemembered) << "the password is kept in"
                                  << (stored ? "the keyring" : "the settings file");
            SettingsStore::flush();
        }
    });
    return written;
}

void UnitMetiodManager::movePasswordToKeyring() {
    if (!Session::instance().keyring())
        return;
    QSettings &s = SettingsStore::settings();
    s.beginGroup(LoginGroup);
    const bool fileHoldsPassword = s.contains(PasswordKey);
    s.endGroup();
    if (!fileHoldsPassword)
        return;
    if (const std::optional<LoginDataModel> remembered = getTheSavedUserPhoneNumAndPassword())
        saveTheUserPhoneNumAndPassword(*remembered);
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
    const std::optional<bool> autoFlag = readBool(autoLogin);
    std::optional<QString> passwordText = readText(password);
    // Not in the file: in the keyring, or not remembered at all.
    if (!password.isValid() && phoneText) {
        PasswordKeyring *keyring = Session::instance().keyring();
        passwordText = keyring ? keyring->passwordNow(*phoneText).value_or(QString()) : QString();
    }
    if (!phoneText || !passwordText || !autoFlag) {
        qCWarning(lcRemembered) << "the remembered login in" << s.fileName()
                                << "is damaged; ignoring it";
        return std::nullopt;
    }
    return LoginDataModel::rememberLoginPhoneNum(*phoneText, *passwordText, *autoFlag);
}

bool UnitMetiodManager::removeTheUserPhoneNumAndPassword() {
    QSettings &s = SettingsStore::settings();
    s.beginGroup(LoginGroup);
    const std::optional<QString> phone = readText(s.value(PhoneKey));
    s.endGroup();
    if (PasswordKeyring *keyring = Session::instance().keyring(); keyring && phone)
        keyring->store(*phone, QString(), [](bool) {});
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
