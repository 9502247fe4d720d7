#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QLocalServer;
class QWidget;

// One interactive client per user and settings folder: two would share, and empty, each other's
// kept answers. The first start listens on a local socket named after both; a second start asks
// it to raise its window and exits once it has acknowledged. A socket left by a crashed run is
// taken over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr int AnswerMs = 5000;

    // The socket for the settings in `configFolder`: under the user's runtime folder (the
    // temporary folder without one), named by the user and the folder.
    static QString serverNameFor(const QString &configFolder);

    explicit SingleInstance(QString serverName, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Nothing when this process is to go on (it listens now, or could not and goes on alone);
    // else the exit code, after a line on stderr: 0 when the running client took the request,
    // 1 when it holds the name but did not answer within AnswerMs.
    std::optional<int> claim();
    bool isListening() const;
    // The window a later start raises.
    void raiseOnRequest(QWidget *window);

signals:
    void raiseRequested();

private:
    enum class Knock { Answered, Unanswered, NobodyThere };
    Knock knock() const;
    bool listen();

    QString m_name;
    QLocalServer *m_server = nullptr;
};
