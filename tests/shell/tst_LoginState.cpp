#include "AnswerCache.h"
#include "AppDelegate.h"
#include "LoginState.h"
#include "PasswordKeyring.h"
#include "Session.h"
#include "SettingsStore.h"
#include "UnitMetiodManager.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(LoginDataModel)

namespace {

// The system keyring as a test has it: a map answered on the next turn of the event loop; no
// keyring daemon (every job fails); or one that never answers.
enum class Keyring { Answers, Fails, Silent };

struct KeyringStandIn : PasswordKeyring::Backend {
    Keyring mode;
    QHash<QString, QString> *entries;
    KeyringStandIn(Keyring answering, QHash<QString, QString> *kept)
        : mode(answering)
        , entries(kept) {}
    void answer(const Done &done, std::function<QString()> job) {
        if (mode != Keyring::Silent)
            QTimer::singleShot(0, [this, done, job] { done(mode == Keyring::Answers, job()); });
    }
    void read(const QString &key, Done done) override {
        answer(done, [this, key] { return entries->value(key); });
    }
    void write(const QString &key, const QString &secret, Done done) override {
        answer(done, [this, key, secret] { return *entries->insert(key, secret); });
    }
    void remove(const QString &key, Done done) override {
        answer(done, [this, key] { return entries->take(key); });
    }
};

} // namespace

Q_DECLARE_METATYPE(Keyring)

// The current login in memory and the remembered login / first-launch flag on disk.
class tst_LoginState : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QHash<QString, QString> m_keyringEntries;

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
        qputenv("TEACHER_CLIENT_CACHE_DIR", m_root.filePath("cache").toUtf8());
        SettingsStore::reset();
        Session::instance().resetForTests();
    }

    void useKeyring(Keyring mode) {
        Session::instance().setKeyring(std::make_unique<PasswordKeyring>(
            std::make_unique<KeyringStandIn>(mode, &m_keyringEntries)));
    }
    bool fileHoldsPassword() const {
        QFile file(SettingsStore::filePath());
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("loginPassword");
    }

    // ---- current login ----

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

    // What one teacher read, and the pictures they saw, stay on the machine while they are signed
    // in, and no longer, in folders that are the user's alone from the moment they are made.
    void keptAnswersFollowTheTeacherSignedIn() {
        const mode_t umask = ::umask(0); // a folder made without a mode of its own shows
        const auto restore = qScopeGuard([umask] { ::umask(umask); });
        const QString made = m_root.filePath(QStringLiteral("made")),
                      images = made + "/cache/images";
        qputenv("TEACHER_CLIENT_CACHE_DIR", (made + "/cache").toUtf8());
        AnswerCache &cache = AnswerCache::instance();
        cache.setFolder(made + "/cache/answers");
        const QJsonObject list{{"result", 1}};
        const auto kept = [&] { return cache.find("GetFeelList", "uid=42").has_value(); };
        LoginState::applySignedIn(answer(42, "p.jpg", 3, "li"));
        cache.store(cache.generation(), "GetFeelList", "uid=42", list);
        cache.waitForWrites();
        const QStringList first = QDir(images).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QDirIterator all(made, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        for (QString level = made; !level.isEmpty(); level = all.hasNext() ? all.next() : "")
            QVERIFY2(int(QFileInfo(level).permissions() & 0x0777) == 0x0700, qPrintable(level));
        LoginState::applySignedIn(answer(42, "p.jpg", 3, "li")); // signed in again: still theirs
        QVERIFY(kept());
        LoginState::applySignedIn(answer(43, "q.jpg", 0, "wang"));
        QCOMPARE(QDir(cache.folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
        QVERIFY(!QDir(images).entryList(QDir::Dirs | QDir::NoDotAndDotDot).contains(first[0]));
        cache.store(cache.generation(), "GetFeelList", "uid=42", list);
        AppDelegate::makeLoginStackRoot(); // signing out
        QCOMPARE(QDir(cache.folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(images).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        cache.resetForTests();
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

    // Where a keyring answers it keeps the password, one from before the keyring too; where
    // none does (CI, a bare session, a hung daemon) the file keeps it, and nobody waits for ever.
    void passwordLivesInTheKeyringWhenOneAnswers_data() {
        QTest::addColumn<Keyring>("mode");
        QTest::addColumn<bool>("inFileBefore");
        QTest::newRow("keyring, password from before") << Keyring::Answers << true;
        QTest::newRow("no keyring daemon") << Keyring::Fails << false;
        QTest::newRow("keyring never answers") << Keyring::Silent << false;
    }
    void passwordLivesInTheKeyringWhenOneAnswers() {
        QFETCH(Keyring, mode);
        QFETCH(bool, inFileBefore);
        if (inFileBefore)
            writeIni("[userLoginModel]\nloginPhoneNum=138\nloginPassword=pw\nisAutoLogin=true\n");
        useKeyring(mode);
        const auto login = LoginDataModel::rememberLoginPhoneNum("138", "pw", true);
        if (inFileBefore)
            UnitMetiodManager::movePasswordToKeyring(); // after the next accepted sign-in
        else
            QVERIFY(UnitMetiodManager::saveTheUserPhoneNumAndPassword(login));
        QTRY_COMPARE_WITH_TIMEOUT(fileHoldsPassword(), mode != Keyring::Answers,
                                  PasswordKeyring::TimeoutMs * 2);
        SettingsStore::reset();
        useKeyring(mode);
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), login);
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
};

QTEST_GUILESS_MAIN(tst_LoginState)
#include "tst_LoginState.moc"
