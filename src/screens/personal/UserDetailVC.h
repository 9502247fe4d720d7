#pragma once

#include "BasicVC.h"

#include <memory>

namespace Ui {
class UserDetailVC;
}

// The teacher's profile: name, school and the classes taught, editable in edit mode.
class UserDetailVC : public BasicVC {
    Q_OBJECT
public:
    explicit UserDetailVC(QWidget *parent = nullptr);
    ~UserDetailVC() override;

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::UserDetailVC> m_ui;
};
