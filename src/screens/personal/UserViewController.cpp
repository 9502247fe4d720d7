#include "UserViewController.h"

#include "NavigationController.h"
#include "ui_UserViewController.h"

UserViewController::UserViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(std::make_unique<Ui::UserViewController>()) {
    m_ui->setupUi(this);
}

UserViewController::~UserViewController() = default;

NavigationController *UserViewController::navigationControllerContainSelf() {
    auto *stack = new NavigationController(new UserViewController);
    stack->setNavigationBarHidden(true, false);
    return stack;
}

void UserViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(QStringLiteral("我"));
}
