#pragma once

#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class ScriptRunner;

// The screen tour: a built-in script, run by the script runner, that signs in and visits every
// screen in a fixed order, saving DIR/NN-ClassName.png and .json of each and DIR/timings.json.
//
// The tour is a list of chapters. Each is script text plus one macro, "capture": wait until
// settled, then picture and dump what is on top. A capture's number is fixed by its place in the
// list, so a picture keeps its name from run to run. A chapter that fails is reported and the
// tour goes on with the next one from a fresh tab bar, so one broken screen does not hide the
// others; the exit code is 1 then. A sign-in that is refused fails its chapter and ends the tour.
// The chapters' scripts are files in src/app/tour; Tour.cpp says how to add one.
class Tour : public QObject {
    Q_OBJECT
public:
    // Where a chapter after the first starts: a new home tab, or a new login screen. The current
    // login stays as the chapter before left it: after a chapter that signs in as someone else,
    // one signs the teacher in again.
    enum class Start { Tabs, Login };
    struct Chapter {
        QString title;
        QString file;   // the script's resource, ":/tour/NN-title.txt"
        QString script; // "{user}", "{password}" and "{code}" are filled in
        Start start = Start::Tabs;
        // The chapter signs the tour's account in: it fails unless the service accepted the
        // sign-in, and the tour stops there, as every later chapter needs the teacher.
        bool signsIn = false;
        // The window's size for this chapter; the device's size when empty.
        QSize windowSize;
    };
    static QList<Chapter> chapters();
    // The chapter's script with its captures expanded; `number` counts captures across chapters.
    static QString expand(const Chapter &chapter, const QString &dir, int *number,
                          const QString &user, const QString &password, const QString &code = {});

    // `code`: the verification code the service sends (a service started with --fixed-code).
    Tour(QString dir, QString user, QString password, QString code = {}, QObject *parent = nullptr);
    ~Tour() override;

    void start();

signals:
    void finished(int exitCode, const QString &message);

private:
    void runChapter();
    void chapterFinished(int exitCode, QString message);
    void finish();

    QString m_dir;
    QString m_user;
    QString m_password;
    QString m_code;
    QList<Chapter> m_chapters;
    int m_chapter = 0;
    int m_captureNumber = 0;
    QSize m_startSize;
    std::unique_ptr<ScriptRunner> m_runner;
    QJsonArray m_timings;
    QStringList m_failures;
};
