#pragma once

#include "BasicVC.h"
#include "SettingModel.h"

#include <memory>

class QListView;
class QPushButton;
class SettingRows;
namespace Ui {
class SettingVC;
}

// The settings menu (password change, phone change, help) and the sign-out button.
class SettingVC : public BasicVC {
    Q_OBJECT
public:
    // The menu rows' tags.
    enum MenuTag { ChangePwdTag = 100, HelpServiceTag = 101, ChangePhoneTag = 102 };

    explicit SettingVC(QWidget *parent = nullptr);
    ~SettingVC() override;

    // By the row's tag: a new password change, help or phone change screen; others nothing.
    void tableViewDidSelectRowAtIndexPath(const QModelIndex &index);
    // Signs out without asking: the remembered login keeps its number and password but no longer
    // signs in by itself, every call still in flight is dropped unanswered, and the login stack
    // replaces the tab bar with every screen on it.
    static void loginOutAction();

    const QList<SettingModel> &settingArray() const;
    QListView *settingTableView() const;
    QPushButton *loginOutButton() const;

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::SettingVC> m_ui;
    SettingRows *m_rows = nullptr;
};
