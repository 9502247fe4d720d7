#pragma once

#include "BasicVC.h"

#include <memory>

class NavigationController;
namespace Ui {
class BookListVC;
}

// The book store, root of the second tab.
// This version shows the screen's title and a line saying the screen comes later.
class BookListVC : public BasicVC {
    Q_OBJECT
public:
    explicit BookListVC(QWidget *parent = nullptr);
    ~BookListVC() override;

    // A new screen in a new navigation stack.
    static NavigationController *navigationControllerContainSelf();

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::BookListVC> m_ui;
};
