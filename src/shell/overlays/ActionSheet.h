#pragma once

#include "ModalOverlay.h"

#include <QPointer>
#include <QStringList>

#include <functional>

class QPushButton;

// A modal list of choices rising from the bottom of the window, with the cancel button apart
// below them. Button indexes: the other buttons from 0 in order, then cancel. A click outside the
// sheet counts as cancel. One other button can be marked destructive (red). On a desktop window
// the same choices open as a popup under the control that opened them, without the scrim.
class ActionSheet : public ModalOverlay {
    Q_OBJECT
public:
    using Callback = std::function<void(int buttonIndex)>;

    ActionSheet(const QString &title, const QString &cancelButtonTitle,
                const QStringList &otherButtonTitles, Callback callback = {});
    ~ActionSheet() override;

    static ActionSheet *show(const QString &title, const QString &cancelButtonTitle,
                             const QStringList &otherButtonTitles, Callback callback = {},
                             int destructiveButtonIndex = -1);
    static ActionSheet *current();

    void setDestructiveButtonIndex(int index);
    int destructiveButtonIndex() const { return m_destructive; }
    // -1 when there is no cancel button.
    int cancelButtonIndex() const;
    int numberOfButtons() const { return m_buttonTitles.size(); }
    QString buttonTitleAtIndex(int index) const;
    QString title() const { return m_title; }
    QPushButton *button(int index) const;

    using ModalOverlay::show;
    void clickButton(int index);

protected:
    void layoutContent() override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    static constexpr int PopupWidth = 280;
    bool isPopup() const;

    QString m_title;
    QStringList m_buttonTitles; // others, then cancel
    bool m_hasCancel;
    Callback m_callback;
    QWidget *m_sheet;
    QList<QPushButton *> m_buttons;
    int m_destructive = -1;
    QPointer<QWidget> m_anchor;
};
