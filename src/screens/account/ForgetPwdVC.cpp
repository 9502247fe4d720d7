#include "ForgetPwdVC.h"

#include "ui_ForgetPwdVC.h"

ForgetPwdVC::ForgetPwdVC(QWidget *parent)
    : InputVC(parent)
    , m_ui(std::make_unique<Ui::ForgetPwdVC>()) {
    m_ui->setupUi(this);
}

ForgetPwdVC::~ForgetPwdVC() = default;

void ForgetPwdVC::viewDidLoad() {
    InputVC::viewDidLoad();
    setTitle(QStringLiteral("忘记密码"));
}
