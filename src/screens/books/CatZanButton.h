#pragma once

#include "ZanMotion.h"

#include <QAbstractButton>
#include <QPointer>

#include <functional>

class QVariantAnimation;

// The animated like button, 35 x 35: "book_comment_zan_selected" while liked, else
// "book_comment_zan_normal". A tap (click, Space) flips the state, calls the click handler, then
// springs the image back from nothing; a tap that likes also sends off a burst of "EffectImage"
// particles. The state is the button's checked state, so assistive tools read it too.
class CatZanButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int Side = 35;
    static constexpr int ImageSide = 24;
    // Only the animated style exists.
    static constexpr qint64 AnimatedType = 0;

    explicit CatZanButton(QWidget *parent = nullptr);
    ~CatZanButton() override;

    bool isZan() const { return isChecked(); }
    // Sets the state and the image at once, without animation.
    void setIsZan(bool isZan);
    qint64 type() const { return m_type; }
    void setType(qint64 type) { m_type = type; }
    // Called after each tap, once the state has flipped.
    void setClickHandler(std::function<void(CatZanButton *)> handler) {
        m_clickHandler = std::move(handler);
    }

    // While waiting for the answer to a tap, taps change nothing and reach no handler; the
    // button keeps its focus, unlike a disabled one.
    void setWaiting(bool waiting) { m_waiting = waiting; }
    bool isWaiting() const { return m_waiting; }

    // The spring, and the burst when the button is liked now.
    void zanAnimationPlay();

    QString imageName() const;
    // The image's scale now (1 at rest); whether a burst is under way.
    double imageScale() const { return m_scale; }
    bool isBursting() const { return !m_burst.isNull(); }

    QSize sizeHint() const override { return {Side, Side}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void nextCheckState() override;
    void changeEvent(QEvent *event) override;

private:
    void startBurst();

    qint64 m_type = AnimatedType;
    bool m_waiting = false;
    std::function<void(CatZanButton *)> m_clickHandler;
    QPointer<QVariantAnimation> m_spring;
    double m_scale = 1;
    QPointer<QWidget> m_burst;
};
