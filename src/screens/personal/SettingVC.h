#pragma once

#include "BasicVC.h"
#include "Language.h"
#include "SettingModel.h"

#include <memory>

class QListView;
class QPushButton;
class SettingRows;
namespace Ui {
class SettingVC;
}

// The settings menu (password change, phone change, help, the program's language) and the
// sign-out button.
class SettingVC : public BasicVC {
    Q_OBJECT
public:
    // The menu rows' tags.
    enum MenuTag {
        ChangePwdTag = 100,
        HelpServiceTag = 101,
        ChangePhoneTag = 102,
        LanguageTag = SettingModel::LanguageTag
    };
    // The language sheet's buttons, then its cancel button.
    enum LanguageButton { FollowSystemButton, ChineseButton, EnglishButton };

    explicit SettingVC(QWidget *parent = nullptr);
    ~SettingVC() override;

    // By the row's tag: a new password change, help or phone change screen, or the language
    // sheet; others nothing.
    void tableViewDidSelectRowAtIndexPath(const QModelIndex &index);
    // Signs out without asking: the remembered login keeps its number and password but no longer
    // signs in by itself, every call still in flight is dropped unanswered, and the login stack
    // replaces the tab bar with every screen on it.
    static void loginOutAction();
    // The sheet of languages; a choice applies at once and is remembered.
    void chooseLanguageAction();
    // The name of `choice` as the language row shows it.
    static QString languageChoiceName(Language::Choice choice);

    const QList<SettingModel> &settingArray() const;
    QListView *settingTableView() const;
    QPushButton *loginOutButton() const;

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    void applyTexts();

    std::unique_ptr<Ui::SettingVC> m_ui;
    SettingRows *m_rows = nullptr;
};
