#pragma once

#include "ViewController.h"

#include <QColor>
#include <QSizeF>
#include <QStringList>

#include <optional>

class NavigationController;
class QPushButton;
class SegmentedControl;

// The base of every screen: the shared navigation-bar look, the back button, a right-hand bar
// button, a segmented title and the empty-data cover.
class BasicVC : public ViewController {
    Q_OBJECT
public:
    explicit BasicVC(QWidget *parent = nullptr);

    // Screens that live in a stack of their own hide this with one that returns that stack.
    static NavigationController *navigationControllerContainSelf() { return nullptr; }

    // The back button goes on every screen of a stack whose root is a BasicVC, except on the tab
    // roots.
    void setTheBackItemButton();
    // Pops this screen; the login screen and the root of a presented stack close the whole stack.
    virtual void leftBackClick();
    // Esc and Alt+Left, on a screen that shows the back button: what the button does. A screen
    // with something open over it (a drop-down) closes that first.
    virtual void backKeyAction() { leftBackClick(); }

    // A text button (15 px, as wide as its text on one line, 30 high), colour "724e26" when none
    // is given. Its click calls rightBarButtonItemPressed().
    QPushButton *setNavigationRightButtonWithTitle(const QString &title,
                                                   std::optional<QColor> color = std::nullopt);
    // Makes a text bar button as wide as the widest of `titles` on one line, so it never has to
    // make room when it changes between them, in whatever language they are.
    static void fitBarButton(QPushButton *button, const QStringList &titles);
    // An image button of `size` when its width is above 0, else 20 x 20.
    QPushButton *setNavigationRightButtonWithImageName(const QString &imageName, QSizeF size);
    virtual void rightBarButtonItemPressed() {}

    // A 180 x 30 segmented title with `index` selected; a change calls segmentAction().
    SegmentedControl *makeTitleViewSegment(const QStringList &titles, int index);
    virtual void segmentAction(SegmentedControl *sender) { Q_UNUSED(sender) }

    // Presents the login stack, from the tab bar controller when this screen is in one and not
    // itself presented.
    void presentLoginVCAction();

    // Covers `view` with the white empty-data cover (tag 500) showing "nothing_data_img".
    void showNothingViewForView(QWidget *view);
    // Removes the first widget tagged 500 in this screen's tree; nothing when there is none.
    void removeTheNoneView();

    // An instance of a tab root class the program registered (ScreenFactory::setTabs).
    static bool isTabRootClass(const QObject *screen);

protected:
    void viewDidLoad() override;
    // The frame's own texts (the back button) after the screen's retranslate().
    void changeEvent(QEvent *event) override;
    void viewWillAppear(bool animated) override;
};
