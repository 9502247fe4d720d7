#pragma once

#include "InputVC.h"

#include <memory>

namespace Ui {
class BindViewController;
}

// Binding a mobile number to an account that has none (pushed by the login screen).
// This version shows the screen's title and a line saying the screen comes later.
class BindViewController : public InputVC {
    Q_OBJECT
public:
    explicit BindViewController(QWidget *parent = nullptr);
    ~BindViewController() override;

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::BindViewController> m_ui;
};
