#pragma once

#include "Tags.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class NavigationController;
class TabBarController;

// A screen: a widget with a lifecycle. viewDidLoad() runs once, before the first appearance;
// the appearance calls run whenever the screen comes on or goes off the screen through a push or
// pop, a tab switch, a modal presentation or dismissal, or a change of the window's root. The
// order of one transition is: leaving.willDisappear, arriving.willAppear, (animation),
// leaving.didDisappear, arriving.didAppear.
//
// The navigation item (title, title view, left and right bar buttons) is what a navigation bar
// shows while this screen is the top of its stack. The screen owns its bar widgets: replacing
// one deletes the old one, and they are deleted with the screen.
class ViewController : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY navigationItemChanged)
    Q_PROPERTY(bool hidesBottomBarWhenPushed READ hidesBottomBarWhenPushed WRITE
                   setHidesBottomBarWhenPushed)

public:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    explicit ViewController(QWidget *parent = nullptr);
    ~ViewController() override;

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QWidget *titleView() const { return m_titleView; }
    void setTitleView(QWidget *view);
    QWidget *leftBarButton() const { return m_leftBarButton; }
    void setLeftBarButton(QWidget *button);
    QWidget *rightBarButton() const { return m_rightBarButton; }
    void setRightBarButton(QWidget *button);

    bool hidesBottomBarWhenPushed() const { return m_hidesBottomBarWhenPushed; }
    void setHidesBottomBarWhenPushed(bool hides);

    // Containment. The nearest enclosing stack or tab bar controller, walking up the parents.
    ViewController *parentViewController() const { return m_parentViewController; }
    NavigationController *navigationController() const;
    TabBarController *tabBarController() const;
    QList<ViewController *> childViewControllers() const;
    // Makes `child` a child screen shown inside `container` (this screen when null). It takes
    // part in this screen's appearance while it is not hidden.
    void addChildViewController(ViewController *child, QWidget *container = nullptr);
    void removeFromParentViewController();
    // Hides `from` and shows `to` (both children of this screen) at once, with their appearance
    // calls when this screen is on screen.
    void transitionFromViewController(ViewController *from, ViewController *to);

    // Modal presentation. The presentation is made by the outermost screen holding this one (a
    // tab bar controller, a stack), which becomes the presented screen's presenting screen and
    // goes off screen until the dismissal. Presenting while already presenting presents on top of
    // the last presented screen.
    ViewController *presentingViewController() const;
    ViewController *presentedViewController() const;
    void presentViewController(ViewController *controller, bool animated,
                               std::function<void()> done = {});
    // On a presenting screen: closes what it presents (and everything presented above that).
    // On a presented screen or one inside it: asks its presenting screen to close it. The closed
    // screens are deleted afterwards. `done` runs once the dismissal has ended (at once when
    // there is nothing to close).
    void dismissViewController(bool animated, std::function<void()> done = {});

    bool isViewLoaded() const { return m_viewLoaded; }
    void loadViewIfNeeded();
    Appearance appearance() const { return m_appearance; }
    bool isAppeared() const { return m_appearance == Appearance::Appeared; }

    // Drive the appearance calls. Containers call these on their children; a call that would not
    // change the state (appearing when already appearing or appeared) does nothing, so no screen
    // ever gets two willAppear in a row. The calls reach the visible children too.
    void beginAppearanceTransition(bool isAppearing, bool animated);
    void endAppearanceTransition();

    // The children that are on screen whenever this screen is: by default the child screens that
    // are not hidden. Containers answer their top or selected screen.
    virtual QList<ViewController *> visibleChildViewControllers() const;

signals:
    void navigationItemChanged();
    void appearanceChanged(ViewController::Appearance appearance);

protected:
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated) }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated) }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated) }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated) }
    // The language changed (Language::apply): a screen sets again every text of its own it
    // set in code, its title included, and calls its form's retranslateUi. Texts the service
    // sent stay. Called once the screen is loaded, never before viewDidLoad.
    virtual void retranslate() {}
    void changeEvent(QEvent *event) override;

private:
    friend class NavigationController;
    friend class TabBarController;
    friend class AppWindow;

    void setParentViewController(ViewController *parent);
    void adoptBarWidget(QPointer<QWidget> &slot, QWidget *widget);
    ViewController *presentationContext();
    void finishPresentation();
    void dismissPresented(bool animated, std::function<void()> done);

    QString m_title;
    QPointer<QWidget> m_titleView;
    QPointer<QWidget> m_leftBarButton;
    QPointer<QWidget> m_rightBarButton;
    bool m_hidesBottomBarWhenPushed = false;
    bool m_viewLoaded = false;
    bool m_transitionAnimated = false;
    Appearance m_appearance = Appearance::Disappeared;
    QPointer<ViewController> m_parentViewController;
    QList<QPointer<ViewController>> m_children;
    QPointer<ViewController> m_presentingViewController;
    QPointer<ViewController> m_presentedViewController;
    std::function<void()> m_pendingPresentation; // completes a running present/dismiss at once
};
