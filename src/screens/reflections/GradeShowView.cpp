#include "GradeShowView.h"

#include "StyleTokens.h"
#include "TextRules.h"
#include "ui_GradeShowView.h"

#include <QPainter>

namespace {
constexpr qreal CornerRadius = 3;
}

GradeShowView::GradeShowView(QWidget *parent)
    : QWidget(parent)
    , m_ui(StyleTokens::makeForm<Ui::GradeShowView>(this)) {
    for (QPushButton *button : gradeButtons())
        TextRules::setSelectedNormal(button, button == m_ui->excellectBtn);
}

GradeShowView::~GradeShowView() = default;

QPushButton *GradeShowView::closeButton() const {
    return m_ui->closeButton;
}

QPushButton *GradeShowView::decideButton() const {
    return m_ui->decideButton;
}

QPushButton *GradeShowView::excellectBtn() const {
    return m_ui->excellectBtn;
}

QPushButton *GradeShowView::goodBtn() const {
    return m_ui->goodBtn;
}

QPushButton *GradeShowView::qualifiedBtn() const {
    return m_ui->qualifiedBtn;
}

QPushButton *GradeShowView::unQualifiedBtn() const {
    return m_ui->unQualifiedBtn;
}

QList<QPushButton *> GradeShowView::gradeButtons() const {
    return {m_ui->excellectBtn, m_ui->goodBtn, m_ui->qualifiedBtn, m_ui->unQualifiedBtn};
}

void GradeShowView::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        m_ui->retranslateUi(this);
}

void GradeShowView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(rect(), CornerRadius, CornerRadius);
}
