#include "CommentTextView.h"

#include "CommentText.h"

#include <QKeyEvent>
#include <QMimeData>

CommentTextView::CommentTextView(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_maxLength(CommentText::MaxLength) {
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &CommentTextView::cutToLimit);
}

void CommentTextView::setMaxLength(int length) {
    m_maxLength = qMax(0, length);
    cutToLimit();
}

int CommentTextView::selectedLength() const {
    return int(textCursor().selectedText().size());
}

void CommentTextView::keyPressEvent(QKeyEvent *event) {
    QString typed = event->text();
    const bool inserts = !typed.isEmpty() &&
                         !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) &&
                         (typed.front().isPrint() || typed == QLatin1String("\r"));
    if (!inserts) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (typed == QLatin1String("\r"))
        typed = QStringLiteral("\n");
    const QString fits =
        CommentText::fittingInsertion(typed, length(), selectedLength(), m_maxLength);
    if (fits.size() == typed.size())
        QPlainTextEdit::keyPressEvent(event);
    else if (!fits.isEmpty())
        insertPlainText(fits);
    event->accept();
}

void CommentTextView::insertFromMimeData(const QMimeData *source) {
    if (!source || !source->hasText())
        return;
    const QString fits =
        CommentText::fittingInsertion(source->text(), length(), selectedLength(), m_maxLength);
    if (!fits.isEmpty())
        insertPlainText(fits);
}

void CommentTextView::cutToLimit() {
    const QString text = toPlainText();
    const QString kept = CommentText::cutToLimit(text, m_maxLength);
    if (kept.size() == text.size())
        return;
    QTextCursor tail(document());
    tail.setPosition(int(kept.size()));
    tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    tail.removeSelectedText();
}
