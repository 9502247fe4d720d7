#pragma once

#include "BasicVC.h"

#include <memory>

class NavigationController;
namespace Ui {
class ChartViewController;
}

// The class reports, root of the third tab.
// This version shows the screen's title and a line saying the screen comes later.
class ChartViewController : public BasicVC {
    Q_OBJECT
public:
    explicit ChartViewController(QWidget *parent = nullptr);
    ~ChartViewController() override;

    // A new screen in a new navigation stack.
    static NavigationController *navigationControllerContainSelf();

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::ChartViewController> m_ui;
};
