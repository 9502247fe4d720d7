#include "MainViewController.h"

#include "NavigationController.h"
#include "ui_MainViewController.h"

MainViewController::MainViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(std::make_unique<Ui::MainViewController>()) {
    m_ui->setupUi(this);
}

MainViewController::~MainViewController() = default;

NavigationController *MainViewController::navigationControllerContainSelf() {
    auto *stack = new NavigationController(new MainViewController);
    return stack;
}

void MainViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(QStringLiteral("首页"));
}
