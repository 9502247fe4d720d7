#include "LoginState.h"
#include "SettingsStore.h"
#include "UnitMetiodManager.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(LoginDataModel)

// The current login in memory and the remembered login / first-launch flag on disk.
class tst_LoginState : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;

    void writeIni(const QByteArray &bytes) {
        SettingsStore::settings(); // creates the folder
        SettingsStore::reset();
        QFile f(SettingsStore::filePath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        SettingsStore::reset();
    }

    static LoginRsp answer(qint64 uid, const QString &photo, qint64 collections,
                           const QString &userName) {
        LoginRsp rsp;
        rsp.result = 1;
        rsp.msg = QStringLiteral("ok");
        rsp.uid = uid;
        rsp.photo = photo;
        rsp.collectionNum = collections;
        rsp.classList = QJsonArray{1, 2};
        UserInfo user;
        user.UserName = userName;
        user.Mobile = 13800138000;
        user.SchoolId = 7;
        rsp.user = user;
        return rsp;
    }

private slots:
    void init() {
        static int n = 0;
        qputenv("TEACHER_CLIENT_CONFIG_DIR", m_root.filePath(QString::number(++n)).toUtf8());
        SettingsStore::reset();
        LoginState::reset();
    }

    // ---- current login ----

    void currentLoginStartsEmptyAndIsOneInstance() {
        LoginRsp &a = LoginRsp::shareRsp();
        QCOMPARE(a.uid, 0);
        QVERIFY(!a.isLogin);
        QVERIFY(!a.user);
        a.uid = 5;
        QCOMPARE(&LoginRsp::shareRsp(), &a);
        QCOMPARE(LoginRsp::shareRsp().uid, 5);
    }

    void signedInCopiesTheProfileButNotTheEnvelope() {
        LoginState::applySignedIn(answer(42, "p.jpg", 3, "li"));
        const LoginRsp &c = LoginRsp::shareRsp();
        QCOMPARE(c.uid, 42);
        QCOMPARE(c.photo, QStringLiteral("p.jpg"));
        QCOMPARE(c.collectionNum, 3);
        QVERIFY(c.isLogin);
        QVERIFY(c.user);
        QCOMPARE(c.user->UserName, QStringLiteral("li"));
        QCOMPARE(c.user->SchoolId, 7);
        QVERIFY(!c.classList);
        QVERIFY(!c.msg);
        QCOMPARE(c.result, 0);
    }

    void secondLoginOverwritesEveryCopiedField() {
        LoginState::applySignedIn(answer(42, "p.jpg", 3, "li"));
        LoginRsp second;
        second.uid = 43; // no photo, no user in this answer
        LoginState::applySignedIn(second);
        const LoginRsp &c = LoginRsp::shareRsp();
        QCOMPARE(c.uid, 43);
        QVERIFY(!c.photo);
        QVERIFY(!c.user);
        QCOMPARE(c.collectionNum, 0);
        QVERIFY(c.isLogin);
    }

    void bindingRequiredCopiesOnlyTheUid() {
        LoginState::applyBindingRequired(answer(99, "p.jpg", 3, "li"));
        const LoginRsp &c = LoginRsp::shareRsp();
        QCOMPARE(c.uid, 99);
        QVERIFY(!c.isLogin);
        QVERIFY(!c.photo);
        QVERIFY(!c.user);
        QCOMPARE(c.collectionNum, 0);
    }

    // ---- remembered login and first-launch flag ----

    void freshInstallHasNothing() {
        QVERIFY(!UnitMetiodManager::getShowGuideKey());
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), std::nullopt);
    }

    void rememberedLoginRoundTrips_data() {
        QTest::addColumn<LoginDataModel>("model");
        auto row = [](const char *name, QString phone, QString pw, bool autoLogin) {
            QTest::newRow(name) << LoginDataModel::rememberLoginPhoneNum(phone, pw, autoLogin);
        };
        row("plain", "13800138000", "secret", true);
        row("auto off", "13800138000", "secret", false);
        row("empty password (after a password change)", "13800138000", "", false);
        row("spaces kept", "  138 ", " pw ", true);
        row("ini syntax", "a=b;c", "[g]\n#x,y\\z\"", true);
        row("at sign", "@Variant(x)", "@@", true);
        row("bool-looking texts", "true", "0", true);
        row("chinese and emoji", QStringLiteral("一二三"), QStringLiteral("密😀码"), true);
        row("control characters", QStringLiteral("\t\r"), QString(QChar(0x7f)), true);
    }

    void rememberedLoginRoundTrips() {
        QFETCH(LoginDataModel, model);
        QVERIFY(UnitMetiodManager::saveTheUserPhoneNumAndPassword(model));
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), model);
        // And from the file, in a new run.
        SettingsStore::reset();
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), model);
    }

    void savingReplacesAndRemovingForgets() {
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum("1", "a", true));
        // Sign-out rewrites the record with auto-login off; the number and password survive.
        auto remembered = *UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(LoginDataModel::rememberLoginPhoneNum(
            remembered.loginPhoneNum, remembered.loginPassword, false));
        SettingsStore::reset();
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(),
                 LoginDataModel::rememberLoginPhoneNum("1", "a", false));

        UnitMetiodManager::removeTheUserPhoneNumAndPassword();
        SettingsStore::reset();
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), std::nullopt);
    }

    void showGuideFlagPersists() {
        UnitMetiodManager::saveShowGuideKey(true);
        SettingsStore::reset();
        QVERIFY(UnitMetiodManager::getShowGuideKey());
        UnitMetiodManager::saveShowGuideKey(false);
        SettingsStore::reset();
        QVERIFY(!UnitMetiodManager::getShowGuideKey());
    }

    void handEditedValues_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<bool>("autoLogin");
        QTest::addColumn<bool>("showGuide");

        QTest::newRow("complete") << QByteArray(
                                         "[General]\nshowGuide=true\n[userLoginModel]\n"
                                         "loginPhoneNum=1\nloginPassword=p\nisAutoLogin=true\n")
                                  << true << true << true;
        QTest::newRow("flags as digits")
            << QByteArray("[General]\nshowGuide=1\n[userLoginModel]\n"
                          "loginPhoneNum=1\nloginPassword=\nisAutoLogin=0\n")
            << true << false << true;
        QTest::newRow("flag not a boolean")
            << QByteArray("[General]\nshowGuide=maybe\n[userLoginModel]\n"
                          "loginPhoneNum=1\nloginPassword=p\nisAutoLogin=yes please\n")
            << false << false << false;
        QTest::newRow("flag missing")
            << QByteArray("[userLoginModel]\nloginPhoneNum=1\nloginPassword=p\n") << false << false
            << false;
        QTest::newRow("number missing")
            << QByteArray("[userLoginModel]\nloginPassword=p\nisAutoLogin=true\n") << false << false
            << false;
        QTest::newRow("number is a list") << QByteArray("[userLoginModel]\nloginPhoneNum=1, 2\n"
                                                        "loginPassword=p\nisAutoLogin=true\n")
                                          << false << false << false;
        QTest::newRow("record as a plain value")
            << QByteArray("[General]\nuserLoginModel=13800138000\n") << false << false << false;
        QTest::newRow("empty file") << QByteArray() << false << false << false;
    }

    void handEditedValues() {
        QFETCH(QByteArray, ini);
        QFETCH(bool, remembered);
        QFETCH(bool, autoLogin);
        QFETCH(bool, showGuide);
        writeIni(ini);
        const auto model = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
        QCOMPARE(model.has_value(), remembered);
        if (model)
            QCOMPARE(model->isAutoLogin, autoLogin);
        QCOMPARE(UnitMetiodManager::getShowGuideKey(), showGuide);
    }
};

QTEST_GUILESS_MAIN(tst_LoginState)
#include "tst_LoginState.moc"
