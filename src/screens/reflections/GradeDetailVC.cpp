#include "GradeDetailVC.h"

#include "AnswerHandling.h"
#include "Assets.h"
#include "BaseAFHttpManager.h"
#include "GradeAlertView.h"
#include "GradePost.h"
#include "GradeVocabulary.h"
#include "LoginState.h"
#include "NotificationCenter.h"
#include "PictureGrid.h"
#include "ProgressHud.h"
#include "StyleTokens.h"
#include "Toast.h"
#include "ui_GradeDetailVC.h"

#include <QJsonArray>
#include <QStyle>
#include <QTextBrowser>
#include <QtMath>

namespace {
constexpr int StampInset = 6;
} // namespace

GradeDetailVC::GradeDetailVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::GradeDetailVC>(this)) {
    m_rightButton = m_ui->rightButton;
    // The screen opens with the button focused, and it must not then look held down.
    StyleTokens::markKeyboardFocus(m_rightButton);
    connect(m_ui->rightButton, &QPushButton::clicked, this,
            [this] { markClickAction(m_rightButton); });
}

GradeDetailVC::~GradeDetailVC() = default;

QTextBrowser *GradeDetailVC::contentLabel() const {
    return m_ui->contentLabel;
}

PictureGrid *GradeDetailVC::photosGroup() const {
    return m_ui->photosGroup;
}

QLabel *GradeDetailVC::gradeImageView() const {
    return m_ui->gradeImageView;
}

void GradeDetailVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    applyTexts();
    if (m_detailType == GradingType)
        setRightBarButton(m_rightButton);
    else
        delete m_rightButton;
    m_ui->gradeImageView->hide();
    getFeelDetailAction();
}

void GradeDetailVC::retranslate() {
    // Not the form's retranslateUi: it would touch the grading button, gone once a grade is
    // given. The form's texts again, by hand.
    m_ui->contentLabel->setAccessibleName(tr("读后感"));
    m_ui->photosGroup->setAccessibleName(tr("图片"));
    m_ui->gradeImageView->setAccessibleName(tr("评级"));
    if (m_rightButton) {
        m_rightButton->setText(tr("批阅"));
        m_rightButton->setAccessibleName(tr("批阅"));
    }
    applyTexts();
}

void GradeDetailVC::applyTexts() {
    //: The title of one reflection's page.
    setTitle(tr("详情"));
    // The stamp is a picture: its grade is told in words to whoever cannot see it.
    m_ui->gradeImageView->setAccessibleDescription(GradeVocabulary::displayText(m_gradeText));
}

void GradeDetailVC::getFeelDetailAction() {
    GetSingleFeelReq request;
    request.feelId = m_feelId;
    // Kept whatever the result: a refusal leaves the screen empty but remembers the answer.
    const auto keep = [this](const GetSingleFeelRsp &rsp) { m_feelRsp = rsp; };
    const auto answer = AnswerHandler<GetSingleFeelRsp>(this)
                            .keptFirst()
                            .onSuccess([this, keep](const GetSingleFeelRsp &rsp) {
                                keep(rsp);
                                layOutMainView();
                            })
                            .onRefusal([keep](const GetSingleFeelRsp &rsp) {
                                keep(rsp);
                                AnswerHandling::showRefusal(rsp);
                            });
    answer.sendShowingHud(request);
}

void GradeDetailVC::layOutMainView() {
    const FeelDetailRsp feel = m_feelRsp && m_feelRsp->feel ? *m_feelRsp->feel : FeelDetailRsp();
    m_ui->contentLabel->setPlainText(feel.Content.value_or(QString()));
    fitText();

    QList<PictureItem> items;
    for (const QJsonValue &url : feel.ImgageUrlList.value_or(QJsonArray())) {
        // Anything but a text cannot name a picture; the others still show.
        if (url.isString())
            items.append(PictureItem{url.toString()});
    }
    m_ui->photosGroup->setPictureItems(items);

    if (const int given = GradePost::givenCode(m_feelId))
        showGiven(given); // the grade given here wins over what the service has not listed yet
    else if (m_detailType != GradingType)
        showStamp(GradeVocabulary::stampFor(feel.FeelTypeStr.value_or(QString())),
                  feel.FeelTypeStr.value_or(QString()));
    else
        m_ui->gradeImageView->hide();
}

void GradeDetailVC::markClickAction(QAbstractButton *) {
    // A disabled button: a grade is on its way, and a second dialog would send a second one.
    if (!m_rightButton || !m_rightButton->isEnabled())
        return;
    if (const int given = GradePost::givenCode(m_feelId)) {
        showGiven(given);
        return;
    }
    QPointer<GradeDetailVC> screen = this;
    auto *dialog = new GradeAlertView([screen](int code) {
        // The dialog outlives nothing it needs: a screen that went meanwhile sends nothing.
        if (screen)
            screen->gradeFeelDetailActionWithFeelType(code);
    });
    dialog->show();
}

void GradeDetailVC::gradeFeelDetailActionWithFeelType(qint64 feelType) {
    if (m_rightButton && !m_rightButton->isEnabled())
        return;
    // Given meanwhile (on the review desk, still held or on its way): one grade a reflection.
    if (const int given = GradePost::givenCode(m_feelId)) {
        showGiven(given);
        return;
    }
    if (m_rightButton)
        m_rightButton->setEnabled(false);
    ProgressHud::show();
    QPointer<GradeDetailVC> screen = this;
    // Through the changes every list reads, so the lists show it as given at once and the
    // notice that makes them reload goes out even when the teacher has already gone back.
    GradePost::submit(m_feelId, int(feelType), [screen](bool accepted, const QString &reason) {
        ProgressHud::dismiss();
        if (!screen || reason == BaseAFHttpManager::failureWords(BaseAFHttpManager::CancelledText))
            return;
        if (accepted) {
            screen->showGiven(GradePost::givenCode(screen->m_feelId));
            return;
        }
        Toast::show(reason);
        if (screen->m_rightButton)
            screen->m_rightButton->setEnabled(true);
    });
}

void GradeDetailVC::showGiven(int code) {
    showStamp(GradeVocabulary::stampForCode(code), GradeVocabulary::textForCode(code));
    setRightBarButton(nullptr);
    if (m_rightButton) {
        m_rightButton->hide();
        m_rightButton->deleteLater();
    }
    m_rightButton.clear();
}

void GradeDetailVC::showStamp(const QString &imageName, const QString &gradeText) {
    m_gradeImageName = imageName;
    m_gradeText = gradeText;
    m_ui->gradeImageView->setAccessibleDescription(GradeVocabulary::displayText(gradeText));
    QLabel *stamp = m_ui->gradeImageView;
    stamp->setPixmap(Assets::pixmap(imageName, stamp->size()));
    stamp->setVisible(!imageName.isEmpty());
    placeStamp();
}

void GradeDetailVC::placeStamp() {
    // Over the top right corner of the text, like a stamp on the page.
    const QRect text = m_ui->contentLabel->geometry();
    QLabel *stamp = m_ui->gradeImageView;
    stamp->move(text.right() - stamp->width() - StampInset, text.top() + StampInset);
    stamp->raise();
}

void GradeDetailVC::fitText() {
    // As tall as the text (at least the stamp's height), so the pictures follow it; a longer
    // text scrolls in what the screen leaves it.
    QTextBrowser *text = m_ui->contentLabel;
    QTextDocument *document = text->document();
    document->setTextWidth(text->viewport()->width());
    const int margins = text->height() - text->viewport()->height();
    text->setMaximumHeight(qMax(m_ui->gradeImageView->height() + 2 * StampInset,
                                qCeil(document->size().height()) + margins));
}

void GradeDetailVC::resizeEvent(QResizeEvent *event) {
    BasicVC::resizeEvent(event);
    fitText();
    placeStamp();
}
