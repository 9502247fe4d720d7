#include "UserDetailVC.h"

#include "ui_UserDetailVC.h"

UserDetailVC::UserDetailVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(std::make_unique<Ui::UserDetailVC>()) {
    m_ui->setupUi(this);
}

UserDetailVC::~UserDetailVC() = default;

void UserDetailVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(QStringLiteral("个人资料"));
}
