#include "SettingVC.h"

#include "ActionSheet.h"
#include "AppDelegate.h"
#include "HelpServiceVC.h"
#include "NavigationController.h"
#include "ScreenLinks.h"
#include "SettingRows.h"
#include "StyleTokens.h"
#include "ui_SettingVC.h"

#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <iterator>

namespace {
// The language sheet's choices, in the order of SettingVC::LanguageButton.
constexpr Language::Choice SheetChoices[] = {Language::Choice::System, Language::Choice::Chinese,
                                             Language::Choice::English};
} // namespace

SettingVC::SettingVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::SettingVC>(this)) {
    connect(m_ui->loginOutButton, &QPushButton::clicked, this, [] { loginOutAction(); });
}

SettingVC::~SettingVC() = default;

const QList<SettingModel> &SettingVC::settingArray() const {
    static const QList<SettingModel> none;
    return m_rows ? m_rows->rows() : none;
}

QListView *SettingVC::settingTableView() const {
    return m_ui->settingTableView;
}

QPushButton *SettingVC::loginOutButton() const {
    return m_ui->loginOutButton;
}

void SettingVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    m_rows = SettingRows::attach(
        m_ui->settingTableView, SettingModel::arrayForSetting(), tr("系统设置菜单"),
        [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index); });
    applyTexts();
}

void SettingVC::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
}

void SettingVC::applyTexts() {
    setTitle(tr("系统设置"));
    m_ui->settingTableView->setAccessibleName(tr("系统设置菜单"));
    m_rows->setSubName(LanguageTag, languageChoiceName(Language::chosen()));
}

QString SettingVC::languageChoiceName(Language::Choice choice) {
    switch (choice) {
    case Language::Choice::Chinese:
        // Each language by its own name, readable whatever the program speaks now.
        return QStringLiteral("中文"); // notr
    case Language::Choice::English:
        return QStringLiteral("English");
    case Language::Choice::System:
        break;
    }
    return tr("跟随系统");
}

void SettingVC::chooseLanguageAction() {
    QPointer<SettingVC> self = this;
    ActionSheet *sheet = ActionSheet::show(
        QString(), tr("取消"),
        {languageChoiceName(SheetChoices[FollowSystemButton]),
         languageChoiceName(SheetChoices[ChineseButton]),
         languageChoiceName(SheetChoices[EnglishButton])},
        [self](int index) {
            if (index < 0 || index >= int(std::size(SheetChoices)))
                return;
            Language::choose(SheetChoices[index]);
            // Choosing the language already spoken sends no change: the row still shows it.
            if (self && self->m_rows)
                self->m_rows->setSubName(LanguageTag, languageChoiceName(Language::chosen()));
        });
    for (int i = 0; i < sheet->numberOfButtons(); ++i) {
        if (QPushButton *button = sheet->button(i))
            button->setAccessibleName(sheet->buttonTitleAtIndex(i));
    }
    // The keyboard starts on the choice in force.
    const auto current =
        std::find(std::begin(SheetChoices), std::end(SheetChoices), Language::chosen());
    if (QPushButton *button = sheet->button(int(current - std::begin(SheetChoices))))
        button->setFocus();
}

void SettingVC::tableViewDidSelectRowAtIndexPath(const QModelIndex &index) {
    const SettingModel *row = m_rows ? m_rows->rowAt(index) : nullptr;
    m_ui->settingTableView->clearSelection();
    NavigationController *stack = navigationController();
    if (!row || !stack)
        return;
    switch (row->settingTag) {
    case ChangePwdTag:
        if (ViewController *screen = ScreenLinks::make(ScreenLinks::Link::ChangePassword))
            stack->pushViewController(screen, true);
        break;
    case HelpServiceTag:
        stack->pushViewController(new HelpServiceVC, true);
        break;
    case ChangePhoneTag:
        if (ViewController *screen = ScreenLinks::make(ScreenLinks::Link::ChangePhone))
            stack->pushViewController(screen, true);
        break;
    case LanguageTag:
        chooseLanguageAction();
        break;
    default:
        break;
    }
}

void SettingVC::loginOutAction() {
    // The shell's one way out, shared with the menu bar's "退出登录".
    AppDelegate::signOut();
}
