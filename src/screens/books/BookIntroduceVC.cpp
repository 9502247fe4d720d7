#include "BookIntroduceVC.h"

#include "StyleTokens.h"
#include "ui_BookIntroduceVC.h"

BookIntroduceVC::BookIntroduceVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::BookIntroduceVC>(this)) {
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

BookIntroduceVC::~BookIntroduceVC() = default;

QPlainTextEdit *BookIntroduceVC::textView() const {
    return m_ui->textView;
}

void BookIntroduceVC::setIntroduce(const QString &text) {
    m_ui->textView->setPlainText(text);
}

void BookIntroduceVC::retranslate() {
    m_ui->retranslateUi(this);
}

void BookIntroduceVC::viewWillAppear(bool animated) {
    // A page inside the detail: the bar and the back keys belong to the detail.
    ViewController::viewWillAppear(animated);
}
