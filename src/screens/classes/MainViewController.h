#pragma once

#include "BasicVC.h"

#include <memory>

class NavigationController;
namespace Ui {
class MainViewController;
}

// The home dashboard, root of the first tab.
// This version shows the screen's title and a line saying the screen comes later.
class MainViewController : public BasicVC {
    Q_OBJECT
public:
    explicit MainViewController(QWidget *parent = nullptr);
    ~MainViewController() override;

    // A new screen in a new navigation stack.
    static NavigationController *navigationControllerContainSelf();

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::MainViewController> m_ui;
};
