#pragma once

#include "InputVC.h"

#include <memory>

namespace Ui {
class ForgetPwdVC;
}

// Recovering a forgotten password with a text-message code.
// This version shows the screen's title and a line saying the screen comes later.
class ForgetPwdVC : public InputVC {
    Q_OBJECT
public:
    explicit ForgetPwdVC(QWidget *parent = nullptr);
    ~ForgetPwdVC() override;

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::ForgetPwdVC> m_ui;
};
