#pragma once

#include "GradeShowView.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class ModalOverlay;
class QAbstractButton;
class QPushButton;
class QWidget;

// The grading dialog. Not a widget itself: it owns a dimmed full-window background with the
// GradeShowView panel in its middle, and keeps itself alive while that is up (it deletes itself
// once closed). Enter confirms the chosen grade, Esc closes without a choice.
class GradeAlertView : public QObject {
    Q_OBJECT
public:
    using SelectBlock = std::function<void(int resultType)>;
    using DismissBlock = std::function<void()>;

    // `selectBlock` gets the chosen grade code on confirmation; `dismissBlock` runs when the
    // dialog closes without a choice.
    explicit GradeAlertView(SelectBlock selectBlock, DismissBlock dismissBlock = {});
    ~GradeAlertView() override;

    // A fresh panel on an empty background, "优秀" (code 4) chosen. Done by the constructor; a
    // second call starts the choice over.
    void prepareAlertToDisplay();
    // On top of the application's window.
    void show();
    // Selects the tapped grade button alone and takes its grade; an unknown tag changes nothing.
    void gradeClickAction(QAbstractButton *sender);
    // Keys 1 to 4 pick the grades in the buttons' order.
    void pickWithKey(int digit);
    // Hands the chosen code to the select block, then closes.
    void receiveGoodsAction();
    void dismissAlertShow();

    int resultType() const { return m_resultType; }
    GradeShowView *panel() const { return m_panel; }
    QWidget *backgroundView() const;
    bool isShowing() const;

    // The dialog shown last and still up, if any.
    static GradeAlertView *current();

private:
    void close();

    SelectBlock m_selectBlock;
    DismissBlock m_dismissBlock;
    QPointer<ModalOverlay> m_background;
    QPointer<GradeShowView> m_panel;
    QList<QPushButton *> m_gradeButtons;
    int m_resultType = 0;
    bool m_closed = false;
};
