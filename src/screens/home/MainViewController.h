#pragma once

#include "BasicVC.h"
#include "records/ContentRecords.h"

#include <QList>

#include <memory>

class NavigationController;
class QAbstractButton;
class QLabel;
class QPushButton;
namespace Ui {
class MainViewController;
}

// The home dashboard, root of the first tab: the teacher's classes one line each (opening the
// roster), the reflections, the reports tab and the collection with its count. The class list is
// loaded once and on NOTIFICATION_UPDATE_MAIN; the count on every appearance while signed in.
class MainViewController : public BasicVC {
    Q_OBJECT
public:
    // The area buttons' tags.
    enum ButtonTag { ClassTag = 0, GradeTag = 1, CollectTag = 2, StatisticsTag = 3 };

    explicit MainViewController(QWidget *parent = nullptr);
    ~MainViewController() override;

    // A new screen in a new navigation stack.
    static NavigationController *navigationControllerContainSelf();

    void getMyClassListAction();
    void getCollectionBookListAction();
    void updateMainAction();
    // One line a class of gradeArray, lines of an earlier list removed.
    void layoutClassView();
    // By the sender's tag; others do nothing.
    void btnClickAction(QAbstractButton *sender);

    const QList<MyClassListModel> &gradeArray() const { return m_gradeArray; }
    // The class lines, top to bottom.
    QList<QLabel *> classLines() const;
    QPushButton *button(ButtonTag tag) const;
    QLabel *collectNumLabel() const;
    QLabel *collectNumImageView() const;
    QWidget *classScrollContentView() const;

    static QString classLineText(const MyClassListModel &model);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent *event) override;
    void retranslate() override;

private:
    void makeViewsConstraints();
    void push(ViewController *screen);
    // The desktop form's sidebar: the classes and the reflections waiting, under 首页.
    void countWaiting();
    void publishSideBarEntries();
    void arrangeAreas(bool desktop);
    void showWaitingCount();

    std::unique_ptr<Ui::MainViewController> m_ui;
    QList<MyClassListModel> m_gradeArray;
    int m_waiting = -1; // not known yet
    bool m_desktop = false;
    QLabel *m_waitingLabel = nullptr;
    QList<int> m_phoneRowStretch;
};
