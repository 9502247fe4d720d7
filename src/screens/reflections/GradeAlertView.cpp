#include "GradeAlertView.h"

#include "FrameStyle.h"
#include "GradeShowView.h"
#include "GradeVocabulary.h"
#include "ModalOverlay.h"
#include "OverlayRegistry.h"
#include "Tags.h"
#include "TextRules.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

namespace {

ModalOverlay::Stack &shownDialogs() {
    return OverlayRegistry::instance().shown(OverlayKind::GradingDialog);
}

// The black backdrop at 30 % over the whole window; it keeps the panel in its middle and turns
// Enter and Esc into the dialog's two ways out.
class Background : public ModalOverlay {
public:
    explicit Background(GradeAlertView *dialog)
        : ModalOverlay(shownDialogs())
        , m_dialog(dialog) {
        setObjectName(QStringLiteral("gradeAlertBackground"));
        setAccessibleName(QCoreApplication::translate("GradeAlertView", "批阅"));
    }

    void remove() { dismiss(); }
    GradeAlertView *dialog() const { return m_dialog; }
    // The latest one shown that is still up.
    static Background *latest() { return static_cast<Background *>(top(shownDialogs())); }

protected:
    void layoutContent() override {
        if (GradeShowView *panel = m_dialog ? m_dialog->panel() : nullptr) {
            panel->adjustSize();
            panel->move((width() - panel->width()) / 2, (height() - panel->height()) / 2);
        }
    }

    QWidget *initialFocus() override {
        GradeShowView *panel = m_dialog ? m_dialog->panel() : nullptr;
        return panel ? static_cast<QWidget *>(panel->decideButton()) : this;
    }

    void paintEvent(QPaintEvent *) override {
        QPainter(this).fillRect(rect(), QColor::fromRgba(FrameStyle::ScrimDialog));
    }

    void keyPressEvent(QKeyEvent *event) override {
        if (!m_dialog)
            return QWidget::keyPressEvent(event);
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_dialog->receiveGoodsAction();
            break;
        case Qt::Key_Escape:
            m_dialog->dismissAlertShow();
            break;
        case Qt::Key_1:
        case Qt::Key_2:
        case Qt::Key_3:
        case Qt::Key_4:
            // The review desk's keys: they pick here, Enter still confirms.
            m_dialog->pickWithKey(event->key() - Qt::Key_0);
            break;
        default:
            QWidget::keyPressEvent(event);
        }
    }

private:
    QPointer<GradeAlertView> m_dialog;
};

} // namespace

GradeAlertView::GradeAlertView(SelectBlock selectBlock, DismissBlock dismissBlock)
    : m_selectBlock(std::move(selectBlock))
    , m_dismissBlock(std::move(dismissBlock)) {
    prepareAlertToDisplay();
}

GradeAlertView::~GradeAlertView() {
    if (m_background)
        static_cast<Background *>(m_background.data())->remove();
}

GradeAlertView *GradeAlertView::current() {
    Background *background = Background::latest();
    GradeAlertView *dialog = background ? background->dialog() : nullptr;
    return dialog && dialog->isShowing() ? dialog : nullptr;
}

QWidget *GradeAlertView::backgroundView() const {
    return m_background;
}

bool GradeAlertView::isShowing() const {
    return !m_closed && m_background && m_background->isVisible();
}

void GradeAlertView::prepareAlertToDisplay() {
    if (!m_background) {
        m_background = new Background(this);
        // Should the window take the background with it, the dialog goes too.
        connect(m_background, &QObject::destroyed, this, &QObject::deleteLater);
    }
    delete m_panel;
    m_panel = new GradeShowView(m_background);
    m_panel->setObjectName(QStringLiteral("GradeShowView"));
    connect(m_panel->closeButton(), &QPushButton::clicked, this, [this] { dismissAlertShow(); });
    connect(m_panel->decideButton(), &QPushButton::clicked, this, [this] { receiveGoodsAction(); });
    m_gradeButtons = m_panel->gradeButtons();
    for (QPushButton *button : m_gradeButtons) {
        connect(button, &QPushButton::clicked, this, [this, button] { gradeClickAction(button); });
    }
    m_resultType = GradeVocabulary::DefaultCode;
    m_panel->show();
}

void GradeAlertView::show() {
    if (m_closed || !m_background)
        return;
    m_background->show();
}

void GradeAlertView::gradeClickAction(QAbstractButton *sender) {
    if (!sender)
        return;
    for (QPushButton *button : m_gradeButtons)
        TextRules::setSelectedNormal(button, button == sender);
    if (const auto grade = GradeVocabulary::byButtonTag(tagOf(sender)))
        m_resultType = grade->code;
}

void GradeAlertView::pickWithKey(int digit) {
    for (QPushButton *button : std::as_const(m_gradeButtons)) {
        if (tagOf(button) == digit - 1)
            gradeClickAction(button);
    }
}

void GradeAlertView::receiveGoodsAction() {
    if (m_closed)
        return;
    // Closed first: the block may open another dialog or take the screen beneath away.
    const SelectBlock select = m_selectBlock;
    const int chosen = m_resultType;
    close();
    if (select)
        select(chosen);
}

void GradeAlertView::dismissAlertShow() {
    if (m_closed)
        return;
    const DismissBlock dismissed = m_dismissBlock;
    close();
    if (dismissed)
        dismissed();
}

void GradeAlertView::close() {
    m_closed = true;
    if (m_background)
        static_cast<Background *>(m_background.data())->remove();
    deleteLater();
}
