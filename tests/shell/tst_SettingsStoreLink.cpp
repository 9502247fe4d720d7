// The settings file is never a symbolic link that somebody else laid: it is neither read nor
// written through one, and the file it points at keeps its contents and permissions.
#include "SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_SettingsStoreLink : public QObject {
    Q_OBJECT

private slots:
    void linkedFileIsNotFollowed();
};

void tst_SettingsStoreLink::linkedFileIsNotFollowed() {
    QTemporaryDir root;
    qputenv("TEACHER_CLIENT_CONFIG_DIR", root.path().toUtf8());
    const QByteArray elsewhere = "[General]\nshowGuide=true\n";
    QFile target(root.filePath(QStringLiteral("elsewhere.ini")));
    QVERIFY(target.open(QIODevice::WriteOnly));
    target.write(elsewhere);
    target.close();
    const QFileDevice::Permissions permissions = target.permissions();
    QVERIFY(QFile::link(target.fileName(), SettingsStore::filePath()));

    SettingsStore::reset();
    QVERIFY(!SettingsStore::settings().contains(QStringLiteral("showGuide")));
    SettingsStore::settings().setValue(QStringLiteral("showGuide"), false);
    QVERIFY(!SettingsStore::flush());
    SettingsStore::reset();
    QVERIFY(target.open(QIODevice::ReadOnly));
    QCOMPARE(target.readAll(), elsewhere);
    QCOMPARE(target.permissions(), permissions);
}

QTEST_GUILESS_MAIN(tst_SettingsStoreLink)
#include "tst_SettingsStoreLink.moc"
