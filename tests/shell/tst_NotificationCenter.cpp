#include "NotificationCenter.h"

#include <QPointer>
#include <QtTest>

#include <memory>

class tst_NotificationCenter : public QObject {
    Q_OBJECT

private slots:

    void postReachesEveryObserverOfThatNameOnly() {
        // The three reflection lists all reload on one grade notification.
        QObject lists[3];
        QObject home;
        int reloads = 0, homeReloads = 0;
        for (QObject &list : lists)
            NotificationCenter::addObserver(&list, NOTIFICATION_UPDATE_GRADE, [&] { ++reloads; });
        NotificationCenter::addObserver(&home, NOTIFICATION_UPDATE_MAIN, [&] { ++homeReloads; });

        NotificationCenter::post(NOTIFICATION_UPDATE_GRADE);
        QCOMPARE(reloads, 3);
        QCOMPARE(homeReloads, 0);
        NotificationCenter::post(QStringLiteral("NOTIFICATION_UPDATE_OTHER"));
        NotificationCenter::post(QString());
        QCOMPARE(reloads, 3);
        NotificationCenter::post(NOTIFICATION_UPDATE_MAIN);
        QCOMPARE(homeReloads, 1);
    }

    void aDestroyedObserverIsForgotten() {
        int calls = 0;
        auto observer = std::make_unique<QObject>();
        NotificationCenter::addObserver(observer.get(), NOTIFICATION_UPDATE_MYCOLLECT,
                                        [&calls, o = observer.get()] {
                                            // Touches the observer: under ASan a call after its
                                            // destruction would be caught here.
                                            o->setObjectName(QStringLiteral("reloaded"));
                                            ++calls;
                                        });
        QCOMPARE(NotificationCenter::observerCount(NOTIFICATION_UPDATE_MYCOLLECT), 1);
        observer.reset();
        QCOMPARE(NotificationCenter::observerCount(NOTIFICATION_UPDATE_MYCOLLECT), 0);
        NotificationCenter::post(NOTIFICATION_UPDATE_MYCOLLECT);
        QCOMPARE(calls, 0);
    }

    void anObserverDestroyedByAnEarlierHandlerIsNotCalled() {
        auto *second = new QObject;
        QObject first;
        QStringList calls;
        NotificationCenter::addObserver(&first, NOTIFICATION_UPDATE_LOGIN, [&] {
            calls << "first";
            delete second;
        });
        NotificationCenter::addObserver(second, NOTIFICATION_UPDATE_LOGIN,
                                        [&, second] { calls << second->objectName(); });
        NotificationCenter::post(NOTIFICATION_UPDATE_LOGIN);
        QCOMPARE(calls, QStringList{"first"});
        NotificationCenter::removeObserver(&first);
    }
};

QTEST_GUILESS_MAIN(tst_NotificationCenter)
#include "tst_NotificationCenter.moc"
