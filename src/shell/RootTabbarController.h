#pragma once

#include "TabBarController.h"

// The root of the signed-in client: four stacks (home, book store, reports, me), each made by
// its root screen's factory, titles in "3c3c3c" in both states, icons in their own colours.
class RootTabbarController : public TabBarController {
    Q_OBJECT
public:
    struct Tab {
        const char *className;
        const char *title;
        const char *normalIcon;
        const char *selectedIcon;
    };
    static const QList<Tab> &tabs();

    explicit RootTabbarController(QWidget *parent = nullptr);

protected:
    void viewDidLoad() override;
};
