#include "SettingVC.h"

#include "AppDelegate.h"
#include "HelpServiceVC.h"
#include "NavigationController.h"
#include "ScreenLinks.h"
#include "SettingRows.h"
#include "StyleTokens.h"
#include "ui_SettingVC.h"

#include <QPushButton>

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
    setTitle(QStringLiteral("系统设置"));
    m_rows = SettingRows::attach(
        m_ui->settingTableView, SettingModel::arrayForSetting(), tr("系统设置菜单"),
        [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index); });
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
    default:
        break;
    }
}

void SettingVC::loginOutAction() {
    // The shell's one way out, shared with the menu bar's "退出登录".
    AppDelegate::signOut();
}
