#pragma once

#include "BasicVC.h"

#include <QPointer>

class QLineEdit;
class TapGestureRecognizer;

// The base of the screens that take typed input: every user edit of a text field reaches
// textFiledEditChanged(), a tap on the background ends editing, and keyboard avoidance is on
// while the screen is visible.
class InputVC : public BasicVC {
    Q_OBJECT
public:
    explicit InputVC(QWidget *parent = nullptr);

    void addTapAction();
    void tapTheBackGroud();
    // Every user edit of any text field, whoever owns it: screens compare `sender` with their
    // own fields.
    virtual void textFiledEditChanged(QLineEdit *sender) { Q_UNUSED(sender) }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

private:
    QPointer<TapGestureRecognizer> m_tap;
};
