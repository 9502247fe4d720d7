#pragma once

#include "BasicVC.h"
#include "records/AccountRecords.h"

#include <QPointer>

#include <memory>

class QLabel;
class QListView;
class QPushButton;
class QShortcut;
class QVariantAnimation;
class UserClassCell;
class UserClassRows;
namespace Ui {
class UserDetailVC;
}

// The teacher's profile: name, school and the classes taught. In edit mode the teacher adds a
// class, exchanges one for another or removes one; each is a request the service answers with a
// message shown whatever the result. An accepted exchange reloads both lists; every accepted
// change posts NOTIFICATION_UPDATE_MAIN, even after the screen has gone. The class picker
// (userGradeView) stands where a phone would show the keyboard of a hidden field: at the bottom of
// the screen, shown when the field would begin editing and hidden when it would end (Esc, a click
// outside it, a change accepted).
//
// The teacher's classes (the answer's classList) live in classRows(), the picker's choices
// (classSelectArray) in pickRows(). Every index into either is checked where it is used: a list
// can shrink between the click that chose a row and the answer or alert that reads it.
class UserDetailVC : public BasicVC {
    Q_OBJECT
public:
    // The request types of changeClassForTeacherWithActionType().
    enum ActionType : qint64 { AddClass = 0, ExchangeClass = 1, RemoveClass = 2 };
    // "(不可修改)" in the current language.
    static QString notModifiableSuffix();
    static constexpr double ChangeAnswerSeconds = 1.0;
    static constexpr int ArrowTurnMs = 300;

    explicit UserDetailVC(QWidget *parent = nullptr);
    ~UserDetailVC() override;

    bool isEdit() const { return m_isEdit; }
    bool isAdd() const { return m_isAdd; }
    int chooseIndex() const { return m_chooseIndex; }
    // The teacher's details from the last successful answer (teacherRsp's user).
    const std::optional<UserDetailInfo> &teacherUser() const { return m_teacherUser; }
    const QList<SelectClassModel> &teacherClasses() const;
    const QList<SelectClassModel> &classSelectArray() const;
    UserClassRows *classRows() const { return m_classRows; }
    UserClassRows *pickRows() const { return m_pickRows; }
    UserClassCell *classCell() const { return m_classCell; }

    // The teacher's details and classes, under the plain progress indicator.
    void getTeacherInfoAction();
    // The school's classes that nobody teaches or has asked for, in the answer's order.
    void getSelectClassForTeacherAction();
    // Edit mode on or off.
    void rightBarButtonItemPressed() override;
    // The footer's button: the picker for an addition, or away when it shows.
    void addClassClickAction();
    // A class row chosen in edit mode: the picker for exchanging that row's class, its arrow
    // turning. Nothing outside edit mode or for a row that is not there.
    void tableViewDidSelectRowAtIndexPath(int row);
    // The picker's confirm button: hides the picker, then adds or exchanges the picker's
    // selected class. Sends nothing when the picker or the chosen row has nothing to give.
    void sureBtnClickAction();
    // A row's remove button: asks first; "确认" removes the row's class when it is still there.
    void deleteClassAction(int row);
    void changeClassForTeacherWithActionType(qint64 type, qint64 oldClassId, qint64 newClassId);

    // The picker panel, as the hidden field's editing would show and hide it.
    void showClassPicker();
    void hideClassPicker();
    bool isPickerShowing() const;
    // The picker's selected row: the highlighted one, the first when none is; -1 when empty.
    int pickerSelectedRow() const;

    // Esc closes the picker first, then goes back.
    void backKeyAction() override;

    QLabel *nameTitleLabel() const;
    QLabel *nameContentLabel() const;
    QLabel *schoolTitleLabel() const;
    QLabel *schoolContentLabel() const;
    QListView *userClassTableView() const;
    QWidget *userFootView() const;
    QPushButton *addClassButton() const;
    QWidget *userGradeView() const;
    QListView *userClassPickView() const;
    QPushButton *sureButton() const;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void retranslate() override;

private:
    void applyTexts();
    // 编辑 or 完成, as the mode is.
    void showEditButtonText();
    // Name and school, with the suffix and the grey of the current mode.
    void showTeacherTexts();
    // The list is as tall as its rows, so the footer follows the last one as a table's would.
    void fitClassList();
    void placePicker();
    void selectPickerRow(int row);
    void turnArrow(int row);
    // A change the service accepted, by type.
    void classChanged(qint64 type, qint64 oldClassId, qint64 newClassId);
    bool keyOnClassList(int key);
    bool clickEndsEditing(QObject *watched) const;

    std::unique_ptr<Ui::UserDetailVC> m_ui;
    UserClassRows *m_classRows;
    UserClassRows *m_pickRows;
    UserClassCell *m_classCell = nullptr;
    QPointer<QVariantAnimation> m_arrowTurn;
    std::optional<UserDetailInfo> m_teacherUser;
    QShortcut *m_refreshShortcut = nullptr;
    bool m_isEdit = false;
    bool m_isAdd = false;
    int m_chooseIndex = 0;
};
