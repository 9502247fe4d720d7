#pragma once

#include <QPlainTextEdit>

// A plain text view that holds at most maxLength() UTF-16 units. Typing and pasting insert only
// the part of their text that still fits (nothing when nothing fits); anything that gets past
// that (composed input) is cut back to the limit right after the change. Tab moves the focus on.
class CommentTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CommentTextView(QWidget *parent = nullptr);

    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length);
    int length() const { return int(toPlainText().size()); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    int selectedLength() const;
    void cutToLimit();

    int m_maxLength;
};
