#pragma once

#include "BasicVC.h"

#include <memory>

class NavigationController;
namespace Ui {
class UserViewController;
}

// The personal centre, root of the fourth tab; its stack hides the navigation bar.
// This version shows the screen's title and a line saying the screen comes later.
class UserViewController : public BasicVC {
    Q_OBJECT
public:
    explicit UserViewController(QWidget *parent = nullptr);
    ~UserViewController() override;

    // A new screen in a new navigation stack whose bar is hidden.
    static NavigationController *navigationControllerContainSelf();

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::UserViewController> m_ui;
};
