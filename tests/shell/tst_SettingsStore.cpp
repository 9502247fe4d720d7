#include "SettingsStore.h"
#include "UnitMetiodManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The settings file: where it lives, who may read it, what it looks like, and that a damaged or
// unwritable file never takes the client down.
class tst_SettingsStore : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_configDir;

    QByteArray fileBytes() const {
        QFile f(SettingsStore::filePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void useFolder(const QString &dir) {
        m_configDir = dir;
        qputenv("TEACHER_CLIENT_CONFIG_DIR", dir.toUtf8());
        SettingsStore::reset();
    }

    void writeRaw(const QByteArray &bytes) {
        SettingsStore::reset();
        QDir().mkpath(m_configDir);
        QFile f(SettingsStore::filePath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private slots:
    void init() {
        static int n = 0;
        useFolder(m_root.filePath(QStringLiteral("cfg%1/teacher").arg(++n)));
    }

    void missingFolderIsCreatedOwnerOnly() {
        // A process umask that would let everyone read new files: the store must not rely on it.
        const mode_t old = umask(0);
        QVERIFY(UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum("13800138000", "secret", true)));
        umask(old);

        const QFileInfo dir(m_configDir);
        QVERIFY(dir.isDir());
        QCOMPARE(dir.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                      QFileDevice::ExeGroup | QFileDevice::ExeOther),
                 QFileDevice::Permissions());
        const QFileInfo file(SettingsStore::filePath());
        QVERIFY(file.isFile());
        QCOMPARE(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                       QFileDevice::WriteGroup | QFileDevice::WriteOther),
                 QFileDevice::Permissions());
    }

    void fileIsOwnerOnlyBeforeTheFirstWrite() {
        const mode_t old = umask(0);
        SettingsStore::settings();
        umask(old);
        const QFileInfo file(SettingsStore::filePath());
        QVERIFY(file.exists());
        QCOMPARE(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
    }

    void existingLooseFileIsTightened() {
        writeRaw("[General]\nshowGuide=true\n");
        QFile::setPermissions(SettingsStore::filePath(), QFileDevice::ReadOwner |
                                                             QFileDevice::WriteOwner |
                                                             QFileDevice::ReadOther);
        QVERIFY(UnitMetiodManager::getShowGuideKey());
        QCOMPARE(QFileInfo(SettingsStore::filePath()).permissions() & QFileDevice::ReadOther,
                 QFileDevice::Permissions());
    }

    void fileIsReadableIniWithTheAgreedKeys() {
        UnitMetiodManager::saveShowGuideKey(true);
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum("13800138000", QStringLiteral("密码 1"), false));
        const QString text = QString::fromUtf8(fileBytes());
        // Chinese stays Chinese on disk, not escapes.
        for (const char *line : {"showGuide=true", "[userLoginModel]", "loginPhoneNum=13800138000",
                                 "isAutoLogin=false", "loginPassword=密码 1"})
            QVERIFY2(text.contains(QString::fromUtf8(line)), qPrintable(text));
    }

    void everyWriteReachesTheDiskAtOnce() {
        UnitMetiodManager::saveShowGuideKey(true);
        QVERIFY(fileBytes().contains("showGuide=true"));
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum("1", "2", true));
        QVERIFY(fileBytes().contains("loginPhoneNum=1"));
        UnitMetiodManager::removeTheUserPhoneNumAndPassword();
        QVERIFY(!fileBytes().contains("loginPhoneNum"));
        QVERIFY(fileBytes().contains("showGuide=true"));
    }

    // What nobody waits on (a list's last-update time) is not synced while the list is shown: a
    // burst of writes reaches the disk together, a moment later, in the owner-only file.
    void writesNobodyWaitsOnAreSyncedOnceLater() {
        UnitMetiodManager::saveShowGuideKey(true);
        const QByteArray before = fileBytes();
        for (int i = 1; i <= 20; ++i) {
            SettingsStore::settings().setValue(QStringLiteral("stamp"), i);
            SettingsStore::flushSoon();
        }
        QCOMPARE(fileBytes(), before);
        QTRY_VERIFY(fileBytes().contains("stamp=20"));
        QVERIFY(fileBytes().contains("showGuide=true"));
        QCOMPARE(QFileInfo(SettingsStore::filePath()).permissions() & QFileDevice::ReadOther,
                 QFileDevice::Permissions());
    }

    void damagedFileReadsAsNothingAndCanBeRewritten_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[[[=\x01\x02\n\x00", 11);
        QTest::newRow("unclosed group") << QByteArray("[userLoginModel\nloginPhoneNum=1\n");
        QTest::newRow("no equals signs") << QByteArray("showGuide\nuserLoginModel\n");
        QTest::newRow("huge line") << QByteArray(200000, 'x');
        QTest::newRow("invalid utf-8") << QByteArray("[userLoginModel]\nloginPhoneNum=\xc3\x28\n");
        QTest::newRow("bad variant") << QByteArray("[General]\nshowGuide=@Variant(\x01\x02)\n");
    }

    void damagedFileReadsAsNothingAndCanBeRewritten() {
        QFETCH(QByteArray, bytes);
        writeRaw(bytes);
        QVERIFY(!UnitMetiodManager::getShowGuideKey());
        // Whatever the damage, the remembered login reads as either nothing or a complete record.
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), std::nullopt);

        // A damaged file must not block saving for ever.
        const auto wanted = LoginDataModel::rememberLoginPhoneNum("13800138000", "pw", true);
        QVERIFY(UnitMetiodManager::saveTheUserPhoneNumAndPassword(wanted));
        QVERIFY(UnitMetiodManager::saveShowGuideKey(true));
        SettingsStore::reset();
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), wanted);
        QVERIFY(UnitMetiodManager::getShowGuideKey());
    }

    // A named pipe in the file's place would block the start-up on its first read.
    void namedPipeIsLeftAlone() {
        QVERIFY(QDir().mkpath(m_configDir));
        QCOMPARE(::mkfifo(QFile::encodeName(SettingsStore::filePath()).constData(), 0600), 0);
        const auto login = LoginDataModel::rememberLoginPhoneNum("13800138000", "pw", true);
        QVERIFY(!UnitMetiodManager::saveTheUserPhoneNumAndPassword(login));
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), login);
        QVERIFY(!QFileInfo(SettingsStore::filePath()).isFile());
    }

    void unwritableLocationReportsFailureWithoutCrashing() {
        // The folder's place is taken by a plain file: nothing can be created there.
        const QString blocker = m_root.filePath(QStringLiteral("blocker"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        useFolder(blocker + QStringLiteral("/sub"));
        QVERIFY(!UnitMetiodManager::saveShowGuideKey(true));
        QVERIFY(!UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum("1", "2", true)));
        // The values still serve this run.
        const auto kept = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
        QVERIFY(kept);
        QCOMPARE(kept->loginPhoneNum, QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
