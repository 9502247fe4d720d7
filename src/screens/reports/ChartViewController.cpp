#include "ChartViewController.h"

#include "NavigationController.h"
#include "ui_ChartViewController.h"

ChartViewController::ChartViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(std::make_unique<Ui::ChartViewController>()) {
    m_ui->setupUi(this);
}

ChartViewController::~ChartViewController() = default;

NavigationController *ChartViewController::navigationControllerContainSelf() {
    auto *stack = new NavigationController(new ChartViewController);
    return stack;
}

void ChartViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(QStringLiteral("报表"));
}
