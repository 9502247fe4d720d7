#include "BookListVC.h"

#include "NavigationController.h"
#include "ui_BookListVC.h"

BookListVC::BookListVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(std::make_unique<Ui::BookListVC>()) {
    m_ui->setupUi(this);
}

BookListVC::~BookListVC() = default;

NavigationController *BookListVC::navigationControllerContainSelf() {
    auto *stack = new NavigationController(new BookListVC);
    return stack;
}

void BookListVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(QStringLiteral("书城"));
}
