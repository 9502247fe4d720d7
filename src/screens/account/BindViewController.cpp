#include "BindViewController.h"

#include "ui_BindViewController.h"

BindViewController::BindViewController(QWidget *parent)
    : InputVC(parent)
    , m_ui(std::make_unique<Ui::BindViewController>()) {
    m_ui->setupUi(this);
}

BindViewController::~BindViewController() = default;

void BindViewController::viewDidLoad() {
    InputVC::viewDidLoad();
    setTitle(QStringLiteral("绑定手机"));
}
