#include "REDetailCommentViewController.h"

#include "AnswerHandling.h"
#include "CommentText.h"
#include "CommentTextView.h"
#include "FormWidth.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "StyleTokens.h"
#include "TextRules.h"
#include "Toast.h"
#include "records/AccountRecords.h"
#include "ui_REDetailCommentViewController.h"

#include <QShortcut>

REDetailCommentViewController::REDetailCommentViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::REDetailCommentViewController>(this)) {
    FormWidth::keep(this);
    connect(m_ui->commonText, &QPlainTextEdit::textChanged, this,
            &REDetailCommentViewController::textDidChange);
    connect(m_ui->submitButton, &QPushButton::clicked, this,
            &REDetailCommentViewController::submitCommon);
    for (const QKeySequence &key : {QKeySequence(Qt::ControlModifier | Qt::Key_Return),
                                    QKeySequence(Qt::ControlModifier | Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(key, this);
        shortcut->setObjectName(QStringLiteral("submitKey"));
        shortcut->setWhatsThis(tr("提交评语"));
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (m_ui->submitButton->isEnabled())
                submitCommon();
        });
    }
}

REDetailCommentViewController::~REDetailCommentViewController() = default;

QString REDetailCommentViewController::successText() {
    return tr("评论成功");
}

void REDetailCommentViewController::retranslate() {
    m_ui->retranslateUi(this);
    setTitle(tr("评论"));
    for (QShortcut *key : findChildren<QShortcut *>(QStringLiteral("submitKey")))
        key->setWhatsThis(tr("提交评语"));
}

CommentTextView *REDetailCommentViewController::commonText() const {
    return m_ui->commonText;
}

QLabel *REDetailCommentViewController::numberLabel() const {
    return m_ui->numberLabel;
}

QPushButton *REDetailCommentViewController::submitButton() const {
    return m_ui->submitButton;
}

void REDetailCommentViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(tr("评论"));
    m_ui->commonText->setFocus(Qt::OtherFocusReason);
}

void REDetailCommentViewController::setCommentText(const QString &text) {
    m_ui->commonText->setPlainText(text);
    m_ui->commonText->moveCursor(QTextCursor::End);
}

QString REDetailCommentViewController::counterText(int length) {
    return QStringLiteral("%1/%2").arg(length).arg(CommentText::MaxLength);
}

void REDetailCommentViewController::textDidChange() {
    m_ui->numberLabel->setText(counterText(m_ui->commonText->length()));
}

void REDetailCommentViewController::submitCommon() {
    const QString text = m_ui->commonText->toPlainText();
    if (TextRules::trim(text).isEmpty()) {
        Toast::show(tr("请输入评论内容"));
        return;
    }
    AddCommentReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.bookId = m_bookId;
    request.comment = TextRules::replaceHomeAndEndWhiteCharter(text);

    // One submission at a time: a second would post the comment twice.
    m_ui->submitButton->setEnabled(false);
    // The comments page hears of the comment even when the teacher left this screen before the
    // answer: the comment is posted either way.
    const auto answer = AnswerHandler<AddCommentRsp>(this)

                            .onAccepted([added = m_commentAdded](const AddCommentRsp &rsp) {
                                if (added)
                                    added(rsp.commentCount);
                            })
                            .onSuccess([this](const AddCommentRsp &) {
                                ProgressHud::showSuccess(successText());
                                if (NavigationController *stack = navigationController())
                                    stack->popViewController(true);
                            })
                            .onRefusal([this](const AddCommentRsp &rsp) {
                                AnswerHandling::showRefusal(rsp);
                                m_ui->submitButton->setEnabled(true);
                            })
                            .onFailure([this] { m_ui->submitButton->setEnabled(true); });
    answer.sendShowingHud(request);
}
