#pragma once

#include "ScreenFactory.h"
#include "TabBarController.h"

// The root of the signed-in client: one stack per tab that the program registered with
// ScreenFactory (in that order), titles in one colour for both states, icons in their own colours.
class RootTabbarController : public TabBarController {
    Q_OBJECT
public:
    explicit RootTabbarController(QWidget *parent = nullptr);

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    static QString titleOf(const ScreenFactory::Tab &tab);
    void showTabTitles();
};
